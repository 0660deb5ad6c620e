#!/bin/sh
# The Debian package of the release build (make deb): cpack makes it, dpkg describes it,
# lintian finds nothing but the maintainer's placeholder address, and the game unpacked
# from it starts through /usr/games and draws its first frame. Exits 77 (skipped)
# without a release build or without dpkg-deb and lintian.
#
#   deb_test.sh RELEASE_BUILD_DIR
set -eu
build=$1
fail() { echo "FAIL $*"; exit 1; }
[ -f "$build/CPackConfig.cmake" ] || { echo "no release build in $build (make release)"; exit 77; }
for tool in dpkg-deb lintian; do
    command -v "$tool" >/dev/null || { echo "no $tool (make deps installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(ls "$work"/fairholm_*.deb)
echo "package $(basename "$deb"), $(wc -c < "$deb") bytes"
dpkg-deb --info "$deb"
dpkg-deb --field "$deb" Section | grep -qx games || fail "not in section games"
dpkg-deb --field "$deb" Version | grep -qx "$(cat "$(dirname "$0")/../../VERSION")" || fail "version"
dpkg-deb --field "$deb" Depends | grep -q libsdl2 || fail "dependencies not computed"

# lintian: only the maintainer's address (a placeholder until the package is published).
lintian --no-tag-display-limit "$deb" 2>&1 | grep -v 'running with root privileges' > "$work/lintian" || true
cat "$work/lintian"
if grep -E '^[EW]: ' "$work/lintian" | grep -vqE 'maintainer|mail-address|bogus-mail-host'; then
    fail "lintian"
fi

dpkg-deb -x "$deb" "$work/root"
[ -L "$work/root/usr/games/fairholm" ] || fail "no /usr/games/fairholm"
"$work/root/usr/games/fairholm" --version
printf 'at 1500 stop\n' > "$work/script"
(cd "$work" && "$work/root/usr/games/fairholm-headless" --script "$work/script" --hash-frames --quiet) > "$work/out"
grep -m1 '^frames 1 hash' "$work/out" || fail "the unpacked game drew nothing: $(cat "$work/out")"
