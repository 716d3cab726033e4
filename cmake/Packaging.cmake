# Installing and packaging: both programs in bin/, the catalogues in
# share/corvane-control, the user guide, copyright and changelog in
# share/doc/corvane-control, the menu entry, icons, AppStream data and manual
# pages where a desktop looks for them. The program finds its data from its
# own folder (bin/../share/...), so any prefix works. `cpack -G DEB` in the
# build folder makes the Debian package (scripts/package.sh does it all).

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(corvane_doc share/doc/corvane-control)
set(corvane_pack ${PROJECT_SOURCE_DIR}/packaging)
set(corvane_packed ${PROJECT_BINARY_DIR}/packaging)

set(CORVANE_MAINTAINER "Corvane Control developers <corvane-control@example.org>"
    CACHE STRING "The package's maintainer, name and address")
set(CORVANE_WEB_URL "" CACHE STRING
    "The project's web home, with the user guide's pictures under guide/images/ (empty: none)")

install(TARGETS corvane-control corvane-sim RUNTIME DESTINATION bin)
install(FILES ${corvane_catalogues} DESTINATION share/corvane-control/catalogues)
install(DIRECTORY ${guide_dir}/ DESTINATION ${corvane_doc}/guide)

# The menu entry, its icon at the sizes desktops ask for, and the AppStream
# description software centres show.
install(FILES ${corvane_pack}/corvane-control.desktop DESTINATION share/applications)
install(FILES ${corvane_pack}/corvane-control.svg
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 48 64 128 256)
  install(FILES ${corvane_pack}/icons/corvane-control-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME corvane-control.png)
endforeach()
# A screenshot needs a public https address; without one the data has none.
set(CORVANE_METAINFO_WEB "")
if(CORVANE_WEB_URL)
  string(CONCAT CORVANE_METAINFO_WEB
    "\n  <url type=\"homepage\">${CORVANE_WEB_URL}</url>\n  <screenshots>\n"
    "    <screenshot type=\"default\">\n      <caption>The guiding page</caption>\n"
    "      <image>${CORVANE_WEB_URL}/guide/images/guiding.png</image>\n    </screenshot>\n"
    "    <screenshot>\n      <caption>The settings page</caption>\n"
    "      <image>${CORVANE_WEB_URL}/guide/images/settings.png</image>\n    </screenshot>\n"
    "  </screenshots>")
endif()
string(TIMESTAMP CORVANE_RELEASE_DATE "%Y-%m-%d" UTC)
set(corvane_metainfo ${corvane_packed}/org.corvane.control.metainfo.xml)
configure_file(${corvane_pack}/org.corvane.control.metainfo.xml.in ${corvane_metainfo} @ONLY)
install(FILES ${corvane_metainfo} DESTINATION share/metainfo)

# Debian's copyright file and changelog.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CORVANE_MAINTAINER}")
set(CORVANE_DEB_VERSION ${PROJECT_VERSION}-1)
string(TIMESTAMP CORVANE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${corvane_pack}/copyright.in ${corvane_packed}/copyright @ONLY)
configure_file(${corvane_pack}/changelog.in ${corvane_packed}/changelog.Debian @ONLY)
install(FILES ${corvane_packed}/copyright DESTINATION ${corvane_doc})

# Gzipped files of the package, made while building; -n keeps out the time,
# so that the same sources give the same bytes.
find_program(CORVANE_GZIP gzip)
find_program(CORVANE_HELP2MAN help2man)
set(corvane_gzipped)
if(CORVANE_GZIP)
  add_custom_command(OUTPUT ${corvane_packed}/changelog.Debian.gz
    COMMAND ${CORVANE_GZIP} -9nc changelog.Debian > changelog.Debian.gz
    WORKING_DIRECTORY ${corvane_packed} DEPENDS ${corvane_packed}/changelog.Debian VERBATIM)
  list(APPEND corvane_gzipped ${corvane_packed}/changelog.Debian.gz)
  install(FILES ${corvane_packed}/changelog.Debian.gz DESTINATION ${corvane_doc})
endif()
# The manual pages, from each program's own --help.
if(CORVANE_GZIP AND CORVANE_HELP2MAN)
  set(corvane_man_corvane-control "control a telescope mount driven by the Corvane board")
  set(corvane_man_corvane-sim "a simulated Corvane controller board on a serial line")
  foreach(program corvane-control corvane-sim)
    set(page ${corvane_packed}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CORVANE_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
              "--name=${corvane_man_${program}}" --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${CORVANE_GZIP} -9nf ${page}
      DEPENDS ${program} COMMENT "The manual page of ${program}" VERBATIM)
    list(APPEND corvane_gzipped ${page}.gz)
    install(FILES ${page}.gz DESTINATION share/man/man1)
  endforeach()
else()
  message(STATUS "help2man or gzip not found: no manual pages")
endif()
add_custom_target(packaging_files ALL DEPENDS ${corvane_gzipped})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane-control)
set(CPACK_PACKAGE_VENDOR "Corvane Control developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control a telescope mount driven by the Corvane board")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Corvane Control runs beside a telescope mount driven by the Corvane controller\n"
    "board over a serial line. It shows where the mount points, slews, syncs, moves\n"
    "and pulse-guides it, drives a focuser, reads and stores the drive\n"
    "configuration, manages the periodic error correction table and shares the\n"
    "mount with planetariums and guiders (LX200 and Stellarium protocols).\n"
    "Object catalogues, a user guide and a simulated board (corvane-sim) come\n"
    "with it.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(CORVANE_WEB_URL)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CORVANE_WEB_URL})
endif()
include(CPack)
