#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: ./test.sh [extra ctest arguments]   (HOPLA_BUILD_DIR and HOPLA_CMAKE_ARGS override the build;
# HOPLA_WEB=0 leaves out the web page, its tests under node and in the browser)
set -euo pipefail
cd "$(dirname "$0")"
if [ "${HOPLA_WEB:-1}" = 1 ]; then
    scripts/install-deps.sh play test web browser
else
    scripts/install-deps.sh play test
fi
build=${HOPLA_BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${HOPLA_BUILD_TYPE:-RelWithDebInfo} ${HOPLA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel 2
if [ "${HOPLA_WEB:-1}" = 1 ]; then
    # The page and its unit tests first: the desktop build's tests include the page's own. The
    # page's benchmark only measures; it runs when asked for (README).
    scripts/build-web.sh
    ctest --test-dir "$build" --output-on-failure --parallel 2 -LE page-bench "$@"
    ctest --test-dir build-web --output-on-failure --parallel 2 "$@"
else
    ctest --test-dir "$build" --output-on-failure --parallel 2 -LE "web|page-bench" "$@"
fi
