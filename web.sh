#!/usr/bin/env bash
# Builds the game's web page into build-web/site/ and serves that folder on
# http://localhost:8000/. Usage: ./web.sh [--build-only]   (HOPLA_WEB_PORT picks another port)
set -euo pipefail
cd "$(dirname "$0")"

build_only=0
for argument in "$@"; do
    case $argument in
    --build-only) build_only=1 ;;
    -h | --help)
        echo "Usage: ./web.sh [--build-only]"
        echo "Builds the page into build-web/site/ and serves it on http://localhost:8000/."
        exit 0
        ;;
    *)
        echo "web.sh: unexpected argument '$argument' (try --help)" >&2
        exit 2
        ;;
    esac
done

scripts/install-deps.sh web
scripts/build-web.sh hopla_site
echo "The page is in build-web/site/: publish every file of that folder (see README.md)."
[ "$build_only" = 1 ] && exit 0

port=${HOPLA_WEB_PORT:-8000}
echo "Play at http://localhost:$port/ (Ctrl-C stops the server)"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build-web/site "$port"
