#!/usr/bin/env bash
# The game's golden frames drawn again come out bit for bit the same, not merely close: as the
# game draws them (only the window's part, unchanged draws reused), and whole. Run with
# HOPLA_PORTABLE_KERNELS=1 it checks the plain kernels, which the web page draws with.
# Usage: golden_exact.sh HOPLA_RENDER GOLDEN_FOLDER OUTPUT_FOLDER
set -euo pipefail
render=$1
golden=$(cd "$2" && pwd)
output=$3
rm -rf "$output"
mkdir -p "$output/window" "$output/whole"
# A script with a whole-buffer shot makes the device draw everything, so the window's run
# leaves those shots out.
grep -v ' full$' "$golden/frames.script" >"$output/window/frames.script"
cp "$golden/frames.script" "$output/whole/frames.script"
failed=0
for run in window whole; do
    (cd "$output/$run" && "$render" --script frames.script)
    for shot in $(sed -n 's/^at [0-9]* shot \([^ ]*\).*/\1/p' "$output/$run/frames.script"); do
        if ! cmp -s "$output/$run/$shot" "$golden/$shot"; then
            echo "$run: $shot differs from $golden/$shot" >&2
            failed=1
        fi
    done
done
exit $failed
