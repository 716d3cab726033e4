#!/usr/bin/env bash
# Sets up, builds (warnings are errors) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
# indi-bin: Debian's INDI LX200 drivers, the real client the sharing test
# drives (it is skipped without them); the program itself never needs them.
scripts/deps.sh indi-bin
scripts/build.sh -DCORVANE_WERROR=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
