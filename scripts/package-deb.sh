#!/usr/bin/env bash
# Builds the game in Release and packs it as a Debian package in dist/: the files `cmake --install`
# puts in place, with the program stripped, the manual page compressed, the changelog and the
# copyright, and the dependencies worked out from the program by dpkg-shlibdeps.
# Usage: scripts/package-deb.sh   (HOPLA_DEB_BUILD_DIR overrides the build folder, build-deb)
# Check the result with: lintian dist/hopla_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${HOPLA_DEB_BUILD_DIR:-build-deb}
umask 022

fail() {
    echo "package-deb: $*" >&2
    exit 1
}

scripts/install-deps.sh play package
for tool in cmake dpkg-deb dpkg-shlibdeps dpkg-buildflags dpkg-architecture strip gzip; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# The version lives in CMake; the changelog and the metainfo must have caught up with it.
version=$(sed -n 's/^project(hopla VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
changelog_version=$(sed -n '1s/^hopla (\([^)]*\)).*/\1/p' desktop/changelog)
[ "$changelog_version" = "$version" ] ||
    fail "desktop/changelog starts at $changelog_version, CMake says $version: add an entry"
grep -q "<release version=\"$version\"" desktop/io.github.hopla.Hopla.metainfo.xml ||
    fail "the metainfo has no release $version: add one"
arch=$(dpkg-architecture -qDEB_HOST_ARCH)

# Debian's hardening flags (fortified functions, read-only relocations, immediate binding); games
# go in /usr/games.
echo "== building $version in $build" >&2
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHOPLA_TESTS=OFF -DHOPLA_BENCH=OFF -DCMAKE_INSTALL_BINDIR=games \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --parallel 2 --target hopla >/dev/null

stage=$(mktemp -d "${TMPDIR:-/tmp}/hopla-deb.XXXXXX")
trap 'rm -rf "$stage"' EXIT
package="$stage/hopla"
DESTDIR="$package" cmake --install "$build" --prefix /usr >/dev/null

strip --strip-unneeded --remove-section=.comment --remove-section=.note "$package/usr/games/hopla"
gzip -9n "$package/usr/share/man/man6/hopla.6"
doc="$package/usr/share/doc/hopla"
mkdir -p "$doc"
gzip -9nc desktop/changelog >"$doc/changelog.gz"
{
    cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: hopla

Files: *
Copyright: 2026 The Hopla developers
License: Expat

License: Expat
COPYRIGHT
    # The licence text after its title, each line indented, empty lines as " .".
    tail -n +3 LICENSE | sed -e 's/^$/./' -e 's/^/ /'
} >"$doc/copyright"

# The dependencies of the program, as the shared libraries it links name them.
shlibs=$(mkdir -p "$stage/src/debian" && cd "$stage/src" &&
    printf 'Source: hopla\n\nPackage: hopla\nArchitecture: any\n' >debian/control &&
    dpkg-shlibdeps -O "$package/usr/games/hopla" 2>/dev/null)
depends=${shlibs#shlibs:Depends=}
[ -n "$depends" ] && [ "$depends" != "$shlibs" ] || fail "dpkg-shlibdeps found no dependencies"

mkdir -p "$package/DEBIAN"
(cd "$package" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$package/DEBIAN/md5sums"
installed_size=$(du -k -s --exclude=DEBIAN "$package" | cut -f1)
cat >"$package/DEBIAN/control" <<CONTROL
Package: hopla
Version: $version
Architecture: $arch
Maintainer: The Hopla developers <hopla@users.noreply.github.com>
Installed-Size: $installed_size
Depends: $depends
Section: games
Priority: optional
Description: arcade game: keep the ball in the air with the mouse
 A ball falls inside a framed metal box. Move the pointer over it and
 press the left mouse button to kick it up; where you hit it decides
 where it flies. Every kick scores a point, and the game speeds up at 50
 and at 100 points. When the ball touches the floor the run is over.
 .
 The best score is kept between games. The game runs on X11 and Wayland
 desktops and scales its window up on high-resolution screens.
CONTROL

mkdir -p dist
deb="dist/hopla_${version}_$arch.deb"
dpkg-deb --root-owner-group -Zxz --build "$package" "$deb" >/dev/null
echo "$root/$deb"
