#!/usr/bin/env bash
# Builds the web page (and, with no arguments, the unit tests that run under node) in
# build-web/ with Debian's emscripten. Usage: scripts/build-web.sh [cmake target...]
set -euo pipefail
cd "$(dirname "$0")/.."

# emscripten's optimising link needs acorn from Debian's node modules, and node 20 runs this
# emscripten's output only without its own fetch().
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR="node;--no-experimental-fetch" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build-web --parallel 2 "${targets[@]}"
