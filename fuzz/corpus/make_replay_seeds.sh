#!/usr/bin/env bash
# Makes the seed corpus of ReplayFuzz: recordings of a few golden scripts played by the
# headless shell, one of them cut short in the middle of its records, one stopped while
# the game still ran (its first stroke's file), and a tiny one written by hand.
#
#   make_replay_seeds.sh HEADLESS PROGRAM_DIR
#
# PROGRAM_DIR holds the data files the build generates (the build's bin folder).
set -euo pipefail
headless=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
out=$here/ReplayFuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in $(grep -v '^#' "$source_dir/assets/data-files.txt"); do
    cp "$program/$name" "$work/"
done

mkdir -p "$out"
record() {
    local script=$source_dir/tests/e2e/golden/$1.script
    local seed=$2
    local options state
    options=$(sed -n 's/^# options: *//p' "$script")
    state=$(sed -n 's/^# greenvale: *//p' "$script")
    rm -f "$work/greenvale" "$work/run.fhr"
    if [ -n "$state" ]; then
        for byte in $state; do printf "\\x$byte"; done >"$work/greenvale"
    fi
    # shellcheck disable=SC2086
    (cd "$work" && "$headless" --data "$work" --script "$script" --quiet --max-time 3600000 $options \
        --record "$work/run.fhr") >/dev/null
    cp "$work/run.fhr" "$out/$seed"
}

record clubs clubs.fhr        # 480 x 640, the club menu, a resize to landscape and back
record stylus stylus.fhr      # Pocket PC: stylus positions
record water water.fhr        # a saved record read at start, a penalty
record comfort comfort.fhr    # the comforts flag, a key held down

# The same recording cut in the middle of its records (no End record).
size=$(wc -c <"$out/clubs.fhr")
head -c $((size / 2)) "$out/clubs.fhr" >"$out/clubs-cut.fhr"

# The CRC-32 of standard input, little-endian as the End record holds it (gzip's
# trailer is the same checksum).
crc() { gzip -c | tail -c 8 | head -c 4; }

# A short game: the new game, one swing, stopped soon after.
script=$work/one-stroke.script
printf 'at 1500 char N\nat 3000 key 5\nat 4000 key 5\nat 6000 stop\n' >"$script"
rm -f "$work/greenvale"
(cd "$work" && "$headless" --data "$work" --script "$script" --quiet --linger 0 \
    --record "$work/run.fhr") >/dev/null
cp "$work/run.fhr" "$out/one-stroke.fhr"

# The same game as a recording of a game still running: the End record's reason is
# "unfinished" and its checksum made again.
size=$(wc -c <"$out/one-stroke.fhr")
head -c $((size - 5)) "$out/one-stroke.fhr" >"$work/body"
printf '\x01' >>"$work/body"
{ cat "$work/body"; crc <"$work/body"; } >"$out/one-stroke-unfinished.fhr"

# By hand: the header (240 x 320, no flags, version "1"), the key 'N' after two
# predicted observations, a stroke, and the End record after three more.
printf 'FHRP\x01\x00\xf0\x00\x40\x01\x00\x011\x02\x9c\x01\x90\x78\x56\x34\x12\xa3\x00' >"$work/body"
{ cat "$work/body"; crc <"$work/body"; } >"$out/tiny.fhr"
# And cut in its key record.
head -c 15 "$out/tiny.fhr" >"$out/tiny-cut.fhr"
