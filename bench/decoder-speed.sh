#!/bin/bash
# Speed of one conversion: larkspur-convert against `mpg123 -q -w` on a 4-minute 128 kbit/s stereo
# file, run alternately side by side. Prints both medians and the median of the per-run ratios.
# Usage: bench/decoder-speed.sh [PATH-TO-larkspur-convert] [RUNS]   (needs sox, lame, mpg123)
set -euo pipefail
cd "$(dirname "$0")/.."

convert=${1:-build/cli/larkspur-convert}
runs=${2:-15}
. scripts/require-tools.sh
require_tools sox lame mpg123 "$convert"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 44100 -c 2 -b 16 "$work/source.wav" synth 240 sine 200-4000 sine 3000-300 gain -6
lame --quiet -b 128 "$work/source.wav" "$work/in.mp3"
rm "$work/source.wav"

# Seconds that one run of the command takes.
seconds() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null
    local end=$EPOCHREALTIME
    awk -v start="$start" -v end="$end" 'BEGIN { print end - start }'
}
run_mpg123() { seconds mpg123 -q -w "$work/mpg123.wav" "$work/in.mp3"; }
run_ours() { seconds "$convert" -q -o "$work/out" "$work/in.mp3"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run_mpg123 >/dev/null # warm the caches
run_ours >/dev/null
: >"$work/times"
for ((i = 0; i < runs; i++)); do
    # Alternate which one goes first, so neither always inherits the other's cache state.
    if ((i % 2 == 0)); then
        reference=$(run_mpg123)
        ours=$(run_ours)
    else
        ours=$(run_ours)
        reference=$(run_mpg123)
    fi
    awk -v reference="$reference" -v ours="$ours" 'BEGIN { print reference, ours, ours / reference }' >>"$work/times"
done

printf 'runs:                 %d\n' "$runs"
printf 'mpg123 -q -w median:  %.3f s\n' "$(cut -d' ' -f1 "$work/times" | median)"
printf 'larkspur-convert:     %.3f s\n' "$(cut -d' ' -f2 "$work/times" | median)"
printf 'median ratio:         %.3f\n' "$(cut -d' ' -f3 "$work/times" | median)"
