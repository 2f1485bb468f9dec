#!/usr/bin/env bash
# Installs the Debian packages of the named groups, when any is missing, so that a fresh Debian 12
# machine needs nothing else. Each script asks only for what its own work needs.
# Usage: scripts/install-deps.sh GROUP...
#   play     building and playing the desktop game (./play.sh)
#   test     the unit tests, benchmarks and end-to-end tests (./test.sh)
#   web      building the web page with emscripten (./web.sh)
#   browser  the page's tests in a browser (./test.sh)
#   package  the Debian package and its checks (scripts/package-deb.sh)
#   fuzz     the fuzz targets with libFuzzer (clang)
set -euo pipefail

packages=()
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
    browser) packages+=(chromium chromium-driver python3-selenium) ;;
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
[ ${#missing[@]} -eq 0 ] && exit 0

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
