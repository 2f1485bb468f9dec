#!/usr/bin/env bash
# Installs the Debian packages of the named groups, when any is missing, so that a fresh Debian 12
# machine needs nothing else; the browser group also installs, from the npm registry and as its
# lockfile pins them, the node modules that drive Firefox. Each script asks only for what its own
# work needs.
# Usage: scripts/install-deps.sh GROUP...
#   play     building and playing the desktop game (./play.sh)
#   test     the unit tests, benchmarks and end-to-end tests (./test.sh)
#   web      building the web page with emscripten (./web.sh)
#   browser  the page's tests in Chromium, Firefox ESR and WebKitGTK (./test.sh)
#   package  the Debian package and its checks (scripts/package-deb.sh)
#   fuzz     the fuzz targets with libFuzzer (clang)
set -euo pipefail

packages=()
node_modules=0
for group in "$@"; do
    case $group in
    play) packages+=(cmake g++ pkg-config make libsdl2-dev libsdl2-mixer-dev libpng-dev libx11-dev) ;;
    test)
        packages+=(
            libgtest-dev libgmock-dev libbenchmark-dev
            # the game on a virtual X server, driven by xdotool and watched with ImageMagick
            xvfb xauth xdotool imagemagick x11-utils
            # a window manager for the drag and close-request scenarios, a Wayland compositor
            # nested in the virtual X server for the native Wayland ones
            openbox wmctrl weston
        )
        ;;
    web) packages+=(cmake make emscripten googletest) ;;
    browser)
        packages+=(
            chromium chromium-driver python3-selenium firefox-esr webkit2gtk-driver
            # WebKitGTK's browser runs on a virtual X server, and gets real right clicks there
            xvfb xauth xdotool
        )
        node_modules=1
        ;;
    package) packages+=(dpkg-dev binutils lintian appstream desktop-file-utils man-db) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *)
        echo "install-deps: unknown group '$group' (play, test, web, browser, package, fuzz)" >&2
        exit 2
        ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# Firefox is driven from node. Any node and npm will do (Debian's are 18 and 9), but a node from
# elsewhere brings its own npm, which Debian's npm package conflicts with: ask by command.
if [ "$node_modules" = 1 ]; then
    command -v node >/dev/null 2>&1 || missing+=(nodejs)
    command -v npm >/dev/null 2>&1 || missing+=(npm)
fi

install_modules() {
    # The modules as tests/page/package-lock.json pins them, once per change of the lockfile,
    # so that a machine that has them needs no network.
    [ "$node_modules" = 1 ] || return 0
    local page
    page="$(dirname "$0")/../tests/page"
    cmp -s "$page/package-lock.json" "$page/node_modules/.installed-lock.json" && return 0
    echo "Installing the node modules of tests/page (npm ci)" >&2
    (cd "$page" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2 &&
        cp package-lock.json node_modules/.installed-lock.json)
}

if [ ${#missing[@]} -eq 0 ]; then
    install_modules
    exit 0
fi

echo "Installing missing packages: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo=(sudo -n)
else
    echo "error: these packages are missing and I can't install them (not root, no sudo):" >&2
    echo "       ${missing[*]}" >&2
    echo "       install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
install_modules
