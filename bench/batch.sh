#!/bin/bash
# Batch speed: 20 three-minute 128 kbit/s files converted by larkspur-convert (default -j, the
# number of processors) against `mpg123 -w` one file after the other, and `xargs -P2 mpg123 -w` for
# comparison. Rounds alternate the order of the three; prints the medians and the median ratios.
# Usage: bench/batch.sh [PATH-TO-larkspur-convert] [ROUNDS]   (needs sox, lame, mpg123)
set -euo pipefail
cd "$(dirname "$0")/.."

convert=${1:-build/cli/larkspur-convert}
rounds=${2:-5}
files=20
. scripts/require-tools.sh
require_tools sox lame mpg123 xargs "$convert"

# In memory where possible (1.3 GB at most), so that disk write-back does not swamp the timings.
work=$(mktemp -d -p "${BENCH_DIR:-$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}")
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out"
sox -n -r 44100 -c 2 -b 16 -t wav - synth 180 sine 200-4000 sine 3000-300 gain -6 2>/dev/null |
    lame --quiet -b 128 - "$work/in/track-01.mp3"
for ((i = 2; i <= files; i++)); do
    cp "$work/in/track-01.mp3" "$(printf '%s/in/track-%02d.mp3' "$work" "$i")"
done

seconds() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null
    local end=$EPOCHREALTIME
    rm -f "$work"/out/*.wav
    awk -v start="$start" -v end="$end" 'BEGIN { print end - start }'
}
one_after_another() {
    for mp3 in "$work"/in/*.mp3; do
        mpg123 -q -w "$work/out/$(basename "$mp3" .mp3).wav" "$mp3"
    done
}
two_at_once() {
    printf '%s\n' "$work"/in/*.mp3 | xargs -P2 -I{} sh -c 'mpg123 -q -w "$1/out/$(basename "$2" .mp3).wav" "$2"' _ "$work" {}
}
ours() { "$convert" -q -o "$work/out" "$work"/in/*.mp3; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

seconds ours >/dev/null # warm the caches
: >"$work/times"
for ((round = 0; round < rounds; round++)); do
    if ((round % 2 == 0)); then
        sequential=$(seconds one_after_another)
        parallel=$(seconds two_at_once)
        converter=$(seconds ours)
    else
        converter=$(seconds ours)
        parallel=$(seconds two_at_once)
        sequential=$(seconds one_after_another)
    fi
    echo "$sequential $parallel $converter" >>"$work/times"
    printf 'round %d: mpg123 one after another %.2f s, xargs -P2 %.2f s, larkspur-convert %.2f s\n' \
        "$((round + 1))" "$sequential" "$parallel" "$converter"
done

column_median() { awk -v c="$1" '{ print $c }' "$work/times" | median; }
ratio_median() { awk -v c="$1" '{ print $c / $1 }' "$work/times" | median; }
printf 'median: one after another %.2f s, xargs -P2 %.2f s (ratio %.3f), larkspur-convert %.2f s (ratio %.3f; target <= 0.50)\n' \
    "$(column_median 1)" "$(column_median 2)" "$(ratio_median 2)" "$(column_median 3)" "$(ratio_median 3)"
