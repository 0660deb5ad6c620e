#!/usr/bin/env bash
# Screenshots of desktop play into docs/play/ (make screenshots), taken by the headless
# shell over a copy of the built data files, so that no saved round is read or changed.
#
#   docs/play/screenshots.sh PROGRAM_DIR
set -euo pipefail
program=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in $(grep -v '^#' "$here/../../assets/data-files.txt"); do
    cp "$program/$name" "$work/"
done
run() {
    rm -f "$work/greenvale"
    (cd "$here" && "$program/fairholm-headless" --data "$work" --quiet "$@" >/dev/null)
}
run --comfort --script "$here/screenshots-comfort.txt"
run --script "$here/screenshots-classic.txt"
for size in 176x220 320x240; do
    sed "s/SIZE/$size/" "$here/screenshots-small.txt" > "$work/small.txt"
    run --comfort --size "$size" --script "$work/small.txt"
done
printf '\x09\x00\x00\x00\x00\x00' > "$work/greenvale"
(cd "$here" && "$program/fairholm-headless" --data "$work" --quiet --comfort \
    --script "$here/screenshots-water.txt" >/dev/null)
rm -f "$work/greenvale"
(cd "$here" && "$program/fairholm-headless" --data "$work" --quiet --comfort \
    --script "$here/screenshots-replay.txt" --record "$work/replay.fhr" >/dev/null)
(cd "$here" && "$program/fairholm-headless" --data "$work" --quiet --replay "$work/replay.fhr" \
    --export-shot 1 replay-strip.png >/dev/null)
for size in 240x320 320x240; do
    sed "s/SIZE/$size/" "$here/screenshots-match.txt" > "$work/match.txt"
    for card in 4:scorecard-four-after-hole-1 72:scorecard-four-final; do
        rm -f "$work/greenvale-match"
        run --comfort --bot --size "$size" --max-time 7200000 --script "$work/match.txt" \
            --dump-on-state "10@${card%%:*}:${card#*:}-$size.png"
    done
done
echo "screenshots in $here"
