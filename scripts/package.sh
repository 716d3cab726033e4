#!/usr/bin/env bash
# Builds the Debian package: scripts/package.sh [extra cmake options]
# Installs what building and packaging need, configures a Release build in
# build-package/ with Debian's hardening flags, builds it (the user guide's
# pictures and the manual pages included) and leaves
# build-package/corvane-control_VERSION_ARCH.deb. Install it with
#   sudo apt install ./build-package/corvane-control_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-dev: the library dependencies (dpkg-shlibdeps) and the build flags;
# help2man: the manual pages; file: finding the binaries to strip.
scripts/deps.sh dpkg-dev help2man file
# The flags Debian builds its own packages with (hardening included).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF "$@"
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB)
ls build-package/corvane-control_*.deb
