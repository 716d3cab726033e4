#!/usr/bin/env bash
# Makes the user guide's pictures from the real program on the simulated board,
# headless: scripts/guide-screenshots.sh [BUILD_DIR] [OUT_DIR]
# (defaults build and BUILD_DIR/guide/images). Run it again whenever the window
# changes; the build runs it when it builds the guide.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$build/guide/images}
mkdir -p "$out"
# The program writes its settings file into the current folder: a scratch one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
QT_QPA_PLATFORM=offscreen "$build/corvane-control" --simulate --screenshots "$out" 2>/dev/null
for picture in settings guiding pec chart share traffic guiding-night; do
  [[ -s "$out/$picture.png" ]] || { echo "guide-screenshots: $picture.png is missing" >&2; exit 1; }
done
echo "guide-screenshots: pictures in $out"
