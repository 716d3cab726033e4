#!/usr/bin/env bash
# Start-up time, peak memory and polling load of corvane-control, measured
# against bare-qt (a Qt Widgets program that only shows an empty window), and
# the PEC table read-out and restore against the simulated board over a
# pseudo-terminal (pec-bench); the shared mount under LX200 clients
# (share-bench: answer times with 1 and 4 clients, then a minute of load);
# the same with four ASCOM Alpaca clients beside an LX200 one (alpaca-bench).
#
# Usage: bench/run_bench.sh [RUNS] [POLL_SECONDS]
#   RUNS          start-up runs per program (default 10; the median is reported)
#   POLL_SECONDS  length of the polling run (default 30)
# Environment: BUILD_DIR (default build-bench, configured as a Release build
# here if it does not exist yet).
#
# Needs /usr/bin/time (Debian package "time"). Runs headless
# (QT_QPA_PLATFORM=offscreen) in a scratch directory, so no settings file of
# yours is read or written.
set -euo pipefail

runs=${1:-10}
poll_seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}

if [[ ! -x /usr/bin/time ]]; then
    echo "run_bench: /usr/bin/time is missing (apt-get install time)" >&2
    exit 2
fi
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target corvane-control corvane-sim bare-qt pec-bench \
    share-bench alpaca-bench >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
export QT_QPA_PLATFORM=offscreen

# One round for a program: prints "ms_to_first_shown_window peak_kb ms_whole_process".
# The times come from a run of its own, stamped with bash's $EPOCHREALTIME, which
# starts no process: measured through /usr/bin/time or date, the start-up of those
# helpers (a few ms) would be added to every program alike and make the ratios
# look smaller than they are. The peak memory comes from a second run under
# /usr/bin/time. The program prints the wall-clock moment its window was first
# shown (and quits at once); the whole process runs from launch to exit,
# teardown included.
measure() {
    local start end out shown peak
    start=$EPOCHREALTIME
    out=$("$@" 2>/dev/null)
    end=$EPOCHREALTIME
    shown=$(printf '%s\n' "$out" | awk '/^shown-at-ns/ {print $2}')
    "/usr/bin/time" -v -o "$scratch/time.txt" "$@" >/dev/null 2>&1
    peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$scratch/time.txt")
    # microseconds since the epoch, from "seconds.microseconds"
    start=${start/[.,]/} end=${end/[.,]/}
    echo "$(((shown / 1000 - start) / 1000)) $peak $(((end - start) / 100))"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# The four programs take turns, so that other load on the machine falls on
# all of them alike. One warm-up round first.
programs=("$build/bare-qt --quit-when-shown"
          "$build/bare-qt --with-text --quit-when-shown"
          "$build/corvane-control --quit-when-shown"
          "$build/corvane-control --simulate --quit-when-shown")
declare -a results
for ((round = 0; round <= runs; round++)); do
    for k in "${!programs[@]}"; do
        # shellcheck disable=SC2086 # the program line is split on purpose
        r=$(measure ${programs[$k]})
        ((round > 0)) && results[k]+="$r"$'\n'
    done
done
stat() { printf '%s' "${results[$1]}" | awk -v c="$2" '{print $c}' | median; }
bare_ms=$(stat 0 1) bare_kb=$(stat 0 2) bare_whole=$(stat 0 3)
text_ms=$(stat 1 1) text_kb=$(stat 1 2) text_whole=$(stat 1 3)
app_ms=$(stat 2 1) app_kb=$(stat 2 2) app_whole=$(stat 2 3)
sim_ms=$(stat 3 1) sim_kb=$(stat 3 2) sim_whole=$(stat 3 3)

echo "start-up to the first shown window (median of $runs runs, offscreen):"
printf '  bare-qt (empty window)           %6s ms  %8s KB peak\n' "$bare_ms" "$bare_kb"
printf '  bare-qt --with-text              %6s ms  %8s KB peak\n' "$text_ms" "$text_kb"
printf '  corvane-control (ports probed)   %6s ms  %8s KB peak\n' "$app_ms" "$app_kb"
printf '  corvane-control --simulate       %6s ms  %8s KB peak\n' "$sim_ms" "$sim_kb"
awk -v a="$app_ms" -v b="$bare_ms" -v t="$text_ms" -v am="$app_kb" -v bm="$bare_kb" 'BEGIN {
    printf "  corvane-control / bare-qt: %.2fx (with text: %.2fx)\n", a / b, a / t
    printf "  memory: +%.1f MB over bare-qt; aim within 30 MB\n", (am - bm) / 1024 }'
echo "whole process, launch to exit with --quit-when-shown (median of $runs runs):"
awk -v b="$bare_whole" -v t="$text_whole" -v a="$app_whole" -v s="$sim_whole" 'BEGIN {
    printf "  bare-qt %.1f ms, --with-text %.1f ms, corvane-control %.1f ms, --simulate %.1f ms\n",
           b / 10, t / 10, a / 10, s / 10
    printf "  corvane-control / bare-qt --with-text: %.2fx; aim within 1.25x\n", a / t }'

echo "polling every 500 ms for $poll_seconds s against the simulated board:"
/usr/bin/time -v -o "$scratch/time.txt" "$build/corvane-control" --simulate \
    --bench-poll 500 --bench-seconds "$poll_seconds" 2>/dev/null | sed 's/^/  /'
awk -F': ' '/User time/ {u=$2} /System time/ {s=$2} /Maximum resident/ {m=$2}
    END {printf "  whole run incl. start-up: cpu %.2f s, peak %d KB\n", u + s, m}' \
    "$scratch/time.txt"
echo "  (aim: polling below 1 % of one core)"

echo "PEC table against the simulated board on a pseudo-terminal (9600 baud both ways):"
"$build/pec-bench" "$build/corvane-sim" | sed 's/^/  /'
echo "  (aims: read-out within 1.1x the line limit, restore within 1.05x its floor)"

echo "shared mount, LX200 clients polling \":GR#:GD#\" at 10 Hz (share-bench, simulated board at 9600 baud):"
"$build/share-bench" 20 60 2>/dev/null | sed 's/^/  /'

echo "shared mount, 4 Alpaca clients reading 4 members at 10 Hz each beside an LX200 client (alpaca-bench):"
"$build/alpaca-bench" 60 2>/dev/null | sed 's/^/  /'
