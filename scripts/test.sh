#!/usr/bin/env bash
# Sets up, builds (warnings are errors) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh -DCORVANE_WERROR=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
