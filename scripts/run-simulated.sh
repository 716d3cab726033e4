#!/usr/bin/env bash
# Sets up, builds and starts Corvane Control on the built-in simulated board.
# Pick "Com 1" (already selected) and "Connect" in the Port menu.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/corvane-control --simulate "$@"
