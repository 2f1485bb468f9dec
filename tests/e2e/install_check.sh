#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop finds the game there:
# the program, its desktop entry, its AppStream metainfo, its manual page and its icon at every
# size menus look for; and that nothing else is installed. The package is made from this same
# install, so what holds here holds for it.
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
grep -q '^Keywords=.\+;$' "$entry" || fail "the desktop entry has no keywords"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "the desktop entry does not validate"
fi

metainfo="$prefix/share/metainfo/io.github.hopla.Hopla.metainfo.xml"
[ -f "$metainfo" ] || fail "no metainfo at share/metainfo/io.github.hopla.Hopla.metainfo.xml"
grep -q '<launchable type="desktop-id">hopla.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not name the desktop entry"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$prefix.appstream" 2>&1 ||
        fail "the metainfo does not validate: $(cat "$prefix.appstream")"
    rm -f "$prefix.appstream"
fi

manual="$prefix/share/man/man6/hopla.6"
[ -f "$manual" ] || fail "no manual page at share/man/man6/hopla.6"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
grep -q "^\.TH HOPLA 6 .*\"Hopla $version\"" "$manual" || fail "the manual page does not give version $version"
for topic in --scale --help --version XDG_DATA_HOME SDL_AUDIODRIVER HOPLA_SCALE hsd.dat "EXIT STATUS"; do
    sed 's/\\-/-/g' "$manual" | grep -q -- "$topic" || fail "the manual page does not cover $topic"
done
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l -Tutf8 -Z "$manual" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page gives warnings: $warnings"
fi

# Each icon a PNG of its size: the header chunk holds width and height as big-endian numbers.
icons=()
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/hopla.png"
    icons+=("$icon")
    [ -f "$icon" ] || fail "no icon at share/icons/hicolor/${size}x$size/apps/hopla.png"
    [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the $size icon is not a PNG"
    [ "$(od -An -j16 -N8 -tx1 "$icon" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "the icon in ${size}x$size is not $size x $size"
done

# The whole set, and nothing more.
expected=$(printf '%s\n' "$prefix/bin/hopla" "$entry" "$metainfo" "$manual" "${icons[@]}" | sort)
actual=$(find "$prefix" -type f | sort)
[ "$actual" = "$expected" ] || fail "installed files differ from the set: $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]')"
echo "PASS: installed"
