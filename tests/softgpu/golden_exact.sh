#!/usr/bin/env bash
# The game's golden frames drawn again come out bit for bit the same, not merely close: as the
# game draws them (only the window's part, unchanged draws reused), and whole. Run with
# HOPLA_PORTABLE_KERNELS=1 it checks the plain kernels instead of the vector ones.
# Usage: golden_exact.sh GOLDEN_FOLDER OUTPUT_FOLDER SAME_PICTURE HOPLA_RENDER...
# SAME_PICTURE A B tells whether two PNG files show the same picture: cmp where both come from
# libpng, a comparison of the pixels for the web build's stored PNGs. HOPLA_RENDER... is the
# renderer's command (under node in the web build).
set -euo pipefail
golden=$(cd "$1" && pwd)
output=$2
same=$3
shift 3
rm -rf "$output"
mkdir -p "$output/window" "$output/whole"
# A script with a whole-buffer shot makes the device draw everything, so the window's run
# leaves those shots out.
grep -v ' full$' "$golden/frames.script" >"$output/window/frames.script"
cp "$golden/frames.script" "$output/whole/frames.script"
failed=0
for run in window whole; do
    (cd "$output/$run" && "$@" --script frames.script)
    for shot in $(sed -n 's/^at [0-9]* shot \([^ ]*\).*/\1/p' "$output/$run/frames.script"); do
        if ! "$same" "$output/$run/$shot" "$golden/$shot" >/dev/null; then
            echo "$run: $shot differs from $golden/$shot" >&2
            failed=1
        fi
    done
done
exit $failed
