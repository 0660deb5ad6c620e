#!/bin/sh
# cmake --install into a DESTDIR: the executables, the data files and the mark of an
# installation in lib/fairholm/, relative links in LINK_DIR, the licences; then the
# installed headless shell, started through its link from another folder, draws the
# same first frame as the build's own, and the installed game tells its version.
#
#   install_test.sh BUILD_DIR PROGRAM_DIR LINK_DIR   (LINK_DIR: bin or games, as configured)
set -eu
build=$1
program=$2
links=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL $*"; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
lib="$work/root/usr/lib/fairholm"
for name in fairholm fairholm-headless $(grep -v '^#' "$(dirname "$0")/../../assets/data-files.txt") installed; do
    [ -f "$lib/$name" ] || fail "$lib/$name is not installed"
done
for program_name in fairholm fairholm-headless; do
    link="$work/root/usr/$links/$program_name"
    [ -L "$link" ] || fail "$link is no link"
    [ "$(readlink "$link")" = "../lib/fairholm/$program_name" ] || fail "$link points to $(readlink "$link")"
done
[ -f "$work/root/usr/share/doc/fairholm/copyright" ] || fail "no copyright installed"
for name in applications/io.github.fairholm.Greenvale.desktop metainfo/io.github.fairholm.Greenvale.metainfo.xml \
    icons/hicolor/scalable/apps/io.github.fairholm.Greenvale.svg icons/hicolor/256x256/apps/io.github.fairholm.Greenvale.png \
    icons/hicolor/16x16/apps/io.github.fairholm.Greenvale.png; do
    [ -f "$work/root/usr/share/$name" ] || fail "no $name installed"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/io.github.fairholm.Greenvale.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$work/root/usr/share/metainfo/io.github.fairholm.Greenvale.metainfo.xml" >/dev/null ||
        fail "AppStream metainfo"
fi

# The first frame, from a folder of its own, against the build's.
printf 'at 1500 stop\n' > "$work/script"
mkdir "$work/elsewhere"
first() { grep -m1 '^frames' "$1"; }
(cd "$work/elsewhere" && "$work/root/usr/$links/fairholm-headless" --script "$work/script" --hash-frames --quiet) \
    > "$work/installed.out"
(cd "$work/elsewhere" && "$program/fairholm-headless" --script "$work/script" --hash-frames --quiet) \
    > "$work/build.out"
[ -n "$(first "$work/installed.out")" ] || fail "the installed game drew nothing: $(cat "$work/installed.out")"
[ "$(first "$work/installed.out")" = "$(first "$work/build.out")" ] ||
    fail "first frames differ: $(first "$work/installed.out") / $(first "$work/build.out")"
"$work/root/usr/$links/fairholm" --version | grep -qx "fairholm $(cat "$(dirname "$0")/../../VERSION")" ||
    fail "fairholm --version: $("$work/root/usr/$links/fairholm" --version)"
echo "installed: $(first "$work/installed.out")"
