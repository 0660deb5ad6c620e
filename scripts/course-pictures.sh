#!/bin/sh
# Review pictures of the course packs under docs/courses/: an overview of each pack
# (tees, aim points and pins marked) and the 3-D view from every tee through the
# headless game, with stand-in pictures for the ground, pin, ball and golfer.
# Needs a build (make build); run from the repository root.
set -e
BIN=${BIN:-build/default/bin}
OUT=docs/courses
DATA=$(mktemp -d)
trap 'rm -rf "$DATA"' EXIT
mkdir -p "$OUT"
for pack in holes_1-3 holes_4-6 holes_7-9 holes_10-12 holes_13-15 holes_16-18; do
    "$BIN/coursec" "assets/courses/$pack.course" "$DATA/$pack" --overview "$OUT/$pack.png" >/dev/null
done
[ -x "$BIN/fairholm-headless" ] || { echo "no headless game: overviews only"; exit 0; }
for f in f10.bin f13.bin f16.bin help.txt arrow music swing hit incup water; do
    cp "$BIN/$f" "$DATA/"
done
"$BIN/coursec" --review-pack "$DATA/golf.bin"
for n in $(seq 1 18); do
    # Resume the round at hole n: the state file holds the next hole (0-based).
    printf "$(printf '\\%03o' $((n - 1)))\000\000\000\000\000" > "$DATA/greenvale"
    printf 'at 2500 char R\nat 6000 dump %s\nat 6100 stop\n' "$(pwd)/$OUT/tee$(printf %02d "$n").png" > "$DATA/script"
    "$BIN/fairholm-headless" --data "$DATA" --script "$DATA/script" --quiet >/dev/null
done
echo "pictures in $OUT"
