#!/bin/sh
# The course guide, docs/courses/README.md, and its pictures: an overview of each pack
# and of each hole (tees, aim points and pins marked), the game's 3-D view from every
# tee and from where a drive comes to rest (the headless game with stand-in pictures
# for the ground, pin, ball and golfer), and the figures of both players of the course
# checker. Everything it writes is made again from assets/courses/ and the build.
# Needs a build (make build); run from the repository root.
set -e
BIN=${BIN:-build/default/bin}
SRC=${SRC:-assets/courses}
OUT=${OUT:-docs/courses}
PACKS="holes_1-3 holes_4-6 holes_7-9 holes_10-12 holes_13-15 holes_16-18"
DATA=$(mktemp -d)
trap 'rm -rf "$DATA"' EXIT
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
for pack in $PACKS; do
    "$BIN/coursec" "$SRC/$pack.course" "$DATA/$pack" --overview "$OUT/$pack.png" \
        --hole-overviews "$OUT/hole" >/dev/null
done
for f in f10.bin f13.bin f16.bin help.txt arrow music swing hit incup water; do
    cp "$BIN/$f" "$DATA/"
done
"$BIN/coursec" --review-pack "$DATA/golf.bin"

# Resumes the round at hole $1 (the state file holds the next hole, 0-based) and plays
# the script $2.
play() {
    printf "$(printf '\\%03o' $(($1 - 1)))\000\000\000\000\000" > "$DATA/greenvale"
    printf "$2" > "$DATA/script"
    "$BIN/fairholm-headless" --data "$DATA" --script "$DATA/script" --quiet >/dev/null
}
for n in $(seq 1 18); do
    nn=$(printf %02d "$n")
    play "$n" "at 2500 char R\nat 6000 dump $OUT/tee$nn.png\nat 6100 stop\n"
    # The club the game offers, the meter stopped at nine tenths, the view once the
    # ball has come to rest.
    play "$n" "at 2500 char R\nat 6000 key action\nat 7920 key action\nat 26000 dump $OUT/land$nn.png\nat 26100 stop\n"
done

"$BIN/coursecheck" "$DATA" >"$DATA/perfect.md"
"$BIN/coursecheck" --human "$DATA" >"$DATA/human.md"

{
    cat <<'EOF'
# The course guide

Eighteen holes, par 72, in six course packs of three holes each, every pack a landscape
of its own. This page is made by `scripts/course-guide.sh` from the packs' sources in
`assets/courses/` (their format is described there) and from a build; run it again after
changing a pack.

For every hole: the overview (the tee a white square, the aim point a yellow ring, the
pin red, the line of play dashed), the game's view from the tee, and the view from where
the tee shot comes to rest (the club the game offers, the meter stopped at nine tenths,
the game's wind); the pictures of the golfer, pin and ground are stand-ins. The figures
are those of the course checker (`tools/coursecheck`): the perfect player, which knows
where every stroke ends before it plays it, and the human player, who plays each hole
200 times with a club golfer's errors in a wandering wind (seed 1). Strokes are written
as the game names the clubs, with the yards on the club's label: 1W driver, 3W wood, 3i
to 9i irons, PW wedge, PT putter.

## The six landscapes

EOF
    printf '|'
    for pack in $PACKS; do printf ' %s |' "$(echo "$pack" | sed 's/holes_/Holes /')"; done
    printf '\n|'
    for pack in $PACKS; do printf '%s' '---|'; done
    printf '\n|'
    for pack in $PACKS; do
        printf ' %s |' "$(sed -n '1s/^# Course pack [^:]*: the \([^(]*\) (.*/\1/p' "$SRC/$pack.course")"
    done
    printf '\n|'
    for pack in $PACKS; do printf ' ![%s](%s.png) |' "$pack" "$pack"; done
    printf '\n\n'
    for pack in $PACKS; do
        # The pack's own description: the comment lines at the top of its source, up
        # to the map's conventions.
        awk 'NR == 1 { sub(/^# Course pack [^:]*: /, ""); sub(/ \(.*/, ""); printf "- **%s%s.**", toupper(substr($0, 1, 1)), substr($0, 2); next }
             /^# Yards/ || !/^#/ { exit }
             { sub(/^# ?/, ""); printf " %s", $0 }
             END { print "" }' "$SRC/$pack.course"
    done
    printf '\n## The round of both players\n\n'
    cat "$DATA/human.md"
    printf '\n'
    for pack in $PACKS; do
        awk -v perfect="$DATA/perfect.md" -v human="$DATA/human.md" '
            BEGIN {
                while ((getline line < perfect) > 0) {
                    split(line, f, "|")
                    n = f[2] + 0
                    if (n > 0) { strokes[n] = f[4] + 0; played[n] = f[5]; gsub(/^ +| +$/, "", played[n]) }
                }
                while ((getline line < human) > 0) {
                    split(line, f, "|")
                    n = f[2] + 0
                    if (n > 0) {
                        for (i = 5; i <= 11; ++i) { h[i] = f[i]; gsub(/ /, "", h[i]) }
                        row[n] = sprintf("mean %s (SD %s), par + 3 or worse %s %%; water %s %%, out of bounds %s %%, bunker %s %%, rough %s %%",
                                         h[5], h[6], h[7], h[8], h[9], h[10], h[11])
                    }
                }
            }
            /^hole / {
                tee[$2] = $4 " " $5; aim[$2] = $7 " " $8; pin[$2] = $10 " " $11
                # Round the aim point when it bends the line; straight to the pin when
                # it lies beyond it (a par 3 aimed past the flag).
                direct = dist($4, $5, $10, $11)
                bent = dist($4, $5, $7, $8) + dist($7, $8, $10, $11)
                yards[$2] = int((dist($4, $5, $7, $8) >= direct ? direct : bent) + 0.5)
            }
            /^# ---- Hole / {
                line = $0
                sub(/^# ---- Hole /, "", line)
                n = line + 0
                par = line; sub(/^[0-9]+, par /, "", par); par = par + 0
                what = line
                if (sub(/^[^—]*— /, "", what) == 0) what = ""
                desc[n] = what; pars[n] = par; order[++count] = n
            }
            function dist(x0, z0, x1, z1) { return sqrt((x1 - x0) ^ 2 + (z1 - z0) ^ 2) }
            END {
                for (k = 1; k <= count; ++k) {
                    n = order[k]; nn = sprintf("%02d", n)
                    printf "## Hole %d: par %d, %d yards\n\n", n, pars[n], yards[n]
                    if (desc[n] != "") printf "%s%s.\n\n", toupper(substr(desc[n], 1, 1)), substr(desc[n], 2)
                    printf "| Overview | From the tee | After the tee shot |\n|---|---|---|\n"
                    printf "| <img src=\"hole%s.png\" height=\"320\"> | ![tee](tee%s.png) | ![after the tee shot](land%s.png) |\n\n", nn, nn, nn
                    printf "- Perfect player: %d strokes (%s).\n", strokes[n], played[n]
                    printf "- Human player: %s.\n\n", row[n]
                }
            }' "$SRC/$pack.course"
    done
} >"$OUT/README.md"
echo "guide and pictures in $OUT"
