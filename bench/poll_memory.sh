#!/usr/bin/env bash
# Resident memory of corvane-control while it polls the position every 500 ms,
# against corvane-sim on a pseudo-terminal (so the replies come through the real
# serial port, as from a board): the resident size after the first minute and
# at the end of the run. Nothing kept should grow with the polling: the two
# stay within 2 MB of each other over a long run.
#
# Usage: bench/poll_memory.sh [MINUTES] [INTERVAL_MS]
#   MINUTES      length of the run (default 30; 2 or 3 for a quick check)
#   INTERVAL_MS  polling interval (default 500)
# Environment: BUILD_DIR (default build-bench, configured as a Release build
# here if it does not exist yet).
#
# Prints the resident size once a minute, then the first and last figures and
# their difference. Runs headless (QT_QPA_PLATFORM=offscreen) in a scratch
# directory, so no settings file of yours is read or written.
set -euo pipefail

minutes=${1:-30}
interval=${2:-500}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}

if ((minutes < 1 || minutes > 59)); then
    echo "poll_memory: MINUTES from 1 to 59" >&2
    exit 2
fi
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target corvane-control corvane-sim >/dev/null

scratch=$(mktemp -d)
sim_pid='' app_pid=''
cleanup() {
    if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
    if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
cd "$scratch"
export QT_QPA_PLATFORM=offscreen

# The simulator prints its device path on its first line.
"$build/corvane-sim" >"$scratch/sim.out" 2>/dev/null &
sim_pid=$!
for _ in $(seq 100); do
    [[ -s $scratch/sim.out ]] && break
    sleep 0.1
done
device=$(head -n 1 "$scratch/sim.out")
if [[ $device != /dev/* ]]; then
    echo "poll_memory: corvane-sim gave no device" >&2
    exit 1
fi

"$build/corvane-control" --port "1=$device" --bench-poll "$interval" \
    --bench-seconds $((minutes * 60 + 10)) >"$scratch/app.out" 2>/dev/null &
app_pid=$!
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status"; }

echo "polling every $interval ms on corvane-sim at $device for $minutes min:"
first='' last=''
for ((m = 1; m <= minutes; m++)); do
    sleep 60
    last=$(rss_kb)
    [[ -z $first ]] && first=$last
    printf '  after %2d min: resident %6.1f MB\n' "$m" "$(awk -v k="$last" 'BEGIN {print k / 1024}')"
done
wait "$app_pid" || true
app_pid=''
sed 's/^/  /' "$scratch/app.out"
awk -v a="$first" -v b="$last" -v m="$minutes" 'BEGIN {
    printf "  resident after 1 min %.1f MB, after %d min %.1f MB: %+.1f MB (aim: within 2 MB)\n",
           a / 1024, m, b / 1024, (b - a) / 1024 }'
