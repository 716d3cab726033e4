#!/usr/bin/env bash
# Fails on an include that crosses a border the build does not allow:
# - a header named by a relative path ("../pec/PecState.h"), which the
#   compiler finds beside the including file and so slips past the folders of
#   links each library is given; a header is always named from src/;
# - a header of a library the including library does not declare as one of
#   its dependencies in CMakeLists.txt (PUBLIC or PRIVATE), even where another
#   dependency's headers happen to make it reachable;
# - the command channel (link/Channel.h, link/SequenceRunner.h) outside link/
#   and session/: the session is the only door to the line, and everything
#   else asks its BoardLine.
# The dependencies come from the file CMake writes when it configures
# (<build>/library-borders.txt: a library's folder, then the folders it may
# include from). Usage: scripts/check-borders.sh [that file]
set -euo pipefail
cd "$(dirname "$0")/.."
borders=${1:-build/library-borders.txt}
if [[ ! -r $borders ]]; then
    echo "check-borders: $borders not found (configure the build first)" >&2
    exit 2
fi

# One pass: the borders file, then every include line of the sources, the
# tests and the tools ("file:line:text").
grep -rHn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include' \
    src tests tools bench |
    awk -v borders="$borders" '
    BEGIN {
        while ((getline line < borders) > 0) {
            n = split(line, f, " ")
            if (n == 0) continue
            library[f[1]] = 1
            for (i = 1; i <= n; i++) allowed[f[1], f[i]] = 1
        }
    }
    {
        file = $0; sub(/:.*/, "", file)
        header = $0; sub(/^[^"<]*["<]/, "", header); sub(/[">].*/, "", header)
        where = file ":" $2
        if (("/" header "/") ~ /\/\.\.?\//) {
            print where ": includes \"" header "\" by a relative path; name it from src/"
            faults++
            next
        }
        if (file !~ /^src\// || header !~ /\//) next
        folder = file; sub(/^src\//, "", folder); sub(/\/[^\/]*$/, "", folder)
        if (header ~ /^link\/(Channel|SequenceRunner)\.h$/ && folder != "link" && folder != "session") {
            print where ": includes \"" header "\"; only the session reaches the line itself (ask its BoardLine)"
            faults++
            next
        }
        dir = header; sub(/\/[^\/]*$/, "", dir)
        if (!(folder in library) || !(dir in library) || allowed[folder, dir]) next
        print where ": includes \"" header "\" but " folder " does not depend on " dir
        faults++
    }
    END {
        if (faults > 0) {
            print "check-borders: " faults " include(s) cross a border"
            exit 1
        }
        print "check-borders: every include stays within its library'"'"'s dependencies"
    }' FS=:
