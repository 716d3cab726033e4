#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, testing and running need,
# when any is missing. Runs apt-get directly as root, through sudo otherwise.
# Extra package names given as arguments are installed as well.
#
#   cmake g++ make            the build
#   qt6-base-dev              Qt Core, Gui, Network, Widgets, Test (and their CMake files)
#   qt6-serialport-dev        Qt SerialPort
#   qt6-qpa-plugins           the xcb platform plugin that shows the window on X
#   fonts-dejavu-core         a font, so that a bare system draws text at all
#
# Only for tests, scripts/test.sh adds
#   indi-bin                  indiserver and INDI's LX200 drivers, which the
#                             sharing test (test_share_indi) connects to the
#                             program as a planetarium would
#
# For the Debian package, scripts/package.sh adds
#   dpkg-dev help2man file    library dependencies and build flags, manual
#                             pages, finding the binaries to strip
# and scripts/check-package.sh
#   lintian desktop-file-utils appstream man-db   the package's checkers, man -k
#
# The sanitizer build (-DCORVANE_SANITIZE=ON) needs nothing more: g++ brings
# its address and undefined-behaviour runtimes. The pseudo-terminal tests use
# only the C library.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-qpa-plugins fonts-dejavu-core "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo: install them first." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
