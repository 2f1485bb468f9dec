#!/usr/bin/env bash
# Installs what building and playing needs, builds the game in Release (in build-play/, apart
# from the tests' build) and starts it with the arguments given.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh play
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DHOPLA_TESTS=OFF -DHOPLA_BENCH=OFF >/dev/null
cmake --build build-play --parallel 2 --target hopla
exec build-play/bin/hopla "$@"
