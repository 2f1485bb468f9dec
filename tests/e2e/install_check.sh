#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop finds the game there:
# the program, its desktop entry naming it and its icon, and the icon as a 32 x 32 PNG.
# Usage: install_check.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/hopla-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/hopla" ] || fail "no program at bin/hopla"
entry="$prefix/share/applications/hopla.desktop"
[ -f "$entry" ] || fail "no desktop entry at share/applications/hopla.desktop"
grep -qx 'Exec=hopla' "$entry" || fail "the desktop entry does not start hopla"
grep -qx 'Icon=hopla' "$entry" || fail "the desktop entry does not name the icon hopla"
grep -qx 'Type=Application' "$entry" || fail "the desktop entry is not an application"
icon="$prefix/share/icons/hicolor/32x32/apps/hopla.png"
[ -f "$icon" ] || fail "no icon at share/icons/hicolor/32x32/apps/hopla.png"
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the icon is not a PNG"
# The PNG's header chunk holds the width and height as 32-bit big-endian numbers.
[ "$(od -An -j16 -N8 -tx1 "$icon" | tr -d ' \n')" = 0000002000000020 ] || fail "the icon is not 32 x 32"
echo "PASS: installed"
