#!/usr/bin/env bash
# Validates the menu entry and the AppStream data as built:
# scripts/check-desktop-files.sh [BUILD_DIR]. Exits 77 (skipped) when
# desktop-file-validate or appstreamcli is not installed (Debian packages
# desktop-file-utils and appstream). The AppStream check runs without the
# network: it checks the file, not the addresses it names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "check-desktop-files: no $tool, skipped"; exit 77; }
done
desktop-file-validate "$root/packaging/corvane-control.desktop"
appstreamcli validate --no-net "$build/packaging/org.corvane.control.metainfo.xml"
