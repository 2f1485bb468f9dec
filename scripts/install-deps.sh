#!/usr/bin/env bash
# Installs the Debian packages Hopla needs to build, test and run, when any is missing.
# Used by play.sh, test.sh and CI, so a fresh Debian 12 machine needs nothing else.
set -euo pipefail

packages=(
    # build
    cmake g++ pkg-config make
    libsdl2-dev libsdl2-mixer-dev libpng-dev libx11-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # fuzz targets (built with clang on request) and the sanitizer runtime
    clang libclang-rt-14-dev
    # end-to-end tests on a virtual X server
    xvfb xauth xdotool imagemagick x11-utils
    # a window manager for the end-to-end drag and close-request tests
    openbox wmctrl
    # a Wayland compositor, nested in the virtual X server, for the native Wayland test
    weston
    # the Debian package: building it, and checking it, its metainfo and its desktop entry
    dpkg-dev binutils lintian appstream desktop-file-utils man-db
    # the web page: the compiler, GoogleTest's sources for its tests, a browser for the page's tests
    emscripten googletest chromium chromium-driver python3-selenium
)

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
