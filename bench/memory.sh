#!/bin/bash
# Peak memory (GNU time's maximum resident set size) of larkspur-convert converting a 60-minute
# 128 kbit/s file, beside `mpg123 -w` on the same file. Target: at most 8 MiB.
# Usage: bench/memory.sh [PATH-TO-larkspur-convert]   (needs sox, lame, mpg123, GNU time)
set -euo pipefail
cd "$(dirname "$0")/.."

convert=${1:-build/cli/larkspur-convert}
gnu_time=/usr/bin/time
. scripts/require-tools.sh
require_tools sox lame mpg123 "$gnu_time" "$convert"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Twenty three-minute pieces without a LAME tag, so that joined they are one plain 60-minute stream.
sox -n -r 44100 -c 2 -b 16 -t wav - synth 180 sine 200-4000 sine 3000-300 gain -6 2>/dev/null |
    lame --quiet -t -b 128 - "$work/piece.mp3"
for ((i = 0; i < 20; i++)); do cat "$work/piece.mp3"; done >"$work/hour.mp3"
rm "$work/piece.mp3"

peak_kib() {
    "$gnu_time" -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1
    cat "$work/peak"
}
ours=$(peak_kib "$convert" -q -o "$work/out" "$work/hour.mp3")
seconds=$(soxi -D "$work/out/hour.wav")
rm -f "$work/out/hour.wav"
reference=$(peak_kib mpg123 -q -w "$work/mpg123.wav" "$work/hour.mp3")
printf 'input: %.0f s of audio\n' "$seconds"
printf 'peak RSS: larkspur-convert %d KiB (%.2f MiB; target <= 8 MiB), mpg123 -w %d KiB (%.2f MiB)\n' \
    "$ours" "$(awk -v k="$ours" 'BEGIN { print k / 1024 }')" "$reference" "$(awk -v k="$reference" 'BEGIN { print k / 1024 }')"
