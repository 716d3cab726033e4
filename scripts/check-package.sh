#!/usr/bin/env bash
# The package checked as a user would get it, on a machine of its own (as
# root, or with sudo): builds it (scripts/package.sh), installs it with apt
# (its dependencies come from Debian), runs both programs from another folder,
# checks that the catalogues load, runs lintian (errors fail, warnings are
# printed), desktop-file-validate, appstreamcli and man -k, then removes it
# and checks that none of its files is left. Meant for a brand-new Debian
# machine (the fresh-machine check); it installs and removes packages.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
step() { printf '\n== %s\n' "$*"; }
fail() { echo "check-package: $*" >&2; exit 1; }

step "building the package"
scripts/package.sh
deb=$(ls build-package/corvane-control_*.deb | head -n1)
# The checkers; man-db indexes the manual pages for man -k.
scripts/deps.sh lintian desktop-file-utils appstream man-db

step "installing $deb"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb"
# Files dpkg was told to leave out (minimal images drop manuals and docs)
# would be missing for a reason of the machine's, not of the package.
! grep -rqs 'path-exclude' /etc/dpkg/dpkg.cfg.d/ || echo "note: dpkg leaves out some paths here"

step "running from another folder"
elsewhere=$(mktemp -d)
(
  cd "$elsewhere"
  corvane-control --version
  corvane-sim --help | head -n 3
  out=$(QT_QPA_PLATFORM=offscreen corvane-control --simulate --quit-when-shown)
  echo "$out"
  grep -q '^catalogues: 5 (Messier, ' <<<"$out" || fail "the catalogues did not load"
)
rm -rf "$elsewhere"
[ -f /usr/share/doc/corvane-control/guide/index.md ] || fail "the user guide is not installed"

step "lintian"
lintian --fail-on error --display-info "$deb"

step "desktop-file-validate and appstreamcli"
desktop-file-validate /usr/share/applications/corvane-control.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.corvane.control.metainfo.xml

step "man -k corvane"
"${SUDO[@]}" mandb -q
pages=$(man -k corvane)
echo "$pages"
for program in corvane-control corvane-sim; do
  grep -q "^$program (1)" <<<"$pages" || fail "no manual page for $program"
done

step "removing it"
files=$(mktemp)
dpkg -L corvane-control | while read -r path; do [ -d "$path" ] || echo "$path"; done >"$files"
echo "$(wc -l <"$files") files installed"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q corvane-control
left=$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <"$files")
rm -f "$files"
[ -z "$left" ] || fail "left after removal: $left"
for folder in /usr/share/corvane-control /usr/share/doc/corvane-control; do
  [ ! -e "$folder" ] || fail "left after removal: $folder"
done
! dpkg-query -W -f='${Status}\n' corvane-control 2>/dev/null | grep -q 'ok installed' ||
  fail "still known to dpkg"
echo
echo "check-package: all checks passed"
