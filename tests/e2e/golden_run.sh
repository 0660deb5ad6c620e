#!/usr/bin/env bash
# The golden run: plays one headless script over a copy of the real data files and
# compares everything the run prints (sounds, a digest of the frames drawn between
# every two changes of the game state, the end line) and the state file it leaves with
# the kept output beside the script. The run is recorded, and the recording played back
# must print the same (frame digests, sounds, end line) and leave the state file alone.
#
#   golden_run.sh HEADLESS PROGRAM_DIR SCRIPT
#
# A script's header may name options for the headless shell (`# options: --bot`), the
# bytes of a state file to start from (`# greenvale: 03 00 0a 00 03 00`) and those of a
# saved round of several players (`# greenvale-match: 46 48 4d 54 ...`).
# FAIRHOLM_UPDATE_GOLDEN=1 writes the output as the new expectation instead; do that
# only for a change that is meant to alter play. FAIRHOLM_EMULATOR (words separated by
# spaces, e.g. `qemu-aarch64 -L SYSROOT`) starts a cross-built headless shell.
set -euo pipefail
read -ra emulator <<<"${FAIRHOLM_EMULATOR:-}"
headless=$1
program=$2
script=$3
expected=${script%.script}.out

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in $(grep -v '^#' "$(dirname "$0")/../../assets/data-files.txt"); do
    if [ ! -f "$program/$name" ]; then
        echo "golden run: $program/$name is not built" >&2
        exit 1
    fi
    cp "$program/$name" "$work/"
done

options=$(sed -n 's/^# options: *//p' "$script")
state=$(sed -n 's/^# greenvale: *//p' "$script")
if [ -n "$state" ]; then
    for byte in $state; do printf "\\x$byte"; done > "$work/greenvale"
fi
match=$(sed -n 's/^# greenvale-match: *//p' "$script")
if [ -n "$match" ]; then
    for byte in $match; do printf "\\x$byte"; done > "$work/greenvale-match"
fi

# shellcheck disable=SC2086
(cd "$work" && "${emulator[@]}" "$headless" --data "$work" --script "$script" --hash-frames --max-time 3600000 $options \
    --record "$work/run.fhr") > "$work/output"
cp "$work/output" "$work/live"
if [ -f "$work/greenvale" ]; then
    echo "greenvale $(od -An -tx1 -v "$work/greenvale" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')" >> "$work/output"
else
    echo "greenvale none" >> "$work/output"
fi
# The saved round of several players, when there is one.
if [ -f "$work/greenvale-match" ]; then
    echo "greenvale-match $(od -An -tx1 -v "$work/greenvale-match" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')" \
        >> "$work/output"
fi

# The recording played back: the same game, and the state file as the live run left it.
# A run without a stroke leaves no recording.
replay_note="no stroke, no recording"
if [ -f "$work/run.fhr" ]; then
    state_before=$(od -An -tx1 -v "$work/greenvale" 2>/dev/null || echo none)
    (cd "$work" && "${emulator[@]}" "$headless" --data "$work" --replay "$work/run.fhr" --hash-frames) > "$work/replayed"
    if ! grep -q '^replay ended after [0-9]* strokes: the end of the recording$' "$work/replayed"; then
        echo "golden run: $(basename "$script"): the recording does not play to its end:" >&2
        tail -n 3 "$work/replayed" >&2
        exit 1
    fi
    if ! diff -u <(grep -v '^dump ' "$work/live") <(grep -v '^replay ' "$work/replayed") > "$work/replay-diff"; then
        echo "golden run: $(basename "$script"): its recording plays back differently:" >&2
        head -n 40 "$work/replay-diff" >&2
        exit 1
    fi
    if [ "$(od -An -tx1 -v "$work/greenvale" 2>/dev/null || echo none)" != "$state_before" ]; then
        echo "golden run: $(basename "$script"): playing the recording back changed the state file" >&2
        exit 1
    fi
    replay_note="recording of $(wc -c <"$work/run.fhr") bytes played back the same"
elif grep -q '^sound hit ' "$work/live"; then
    echo "golden run: $(basename "$script"): strokes were played but nothing was recorded" >&2
    exit 1
fi

if [ "${FAIRHOLM_UPDATE_GOLDEN:-}" = 1 ]; then
    cp "$work/output" "$expected"
    echo "golden run: wrote $expected"
    exit 0
fi
if [ ! -f "$expected" ]; then
    echo "golden run: no kept output $expected (FAIRHOLM_UPDATE_GOLDEN=1 writes it)" >&2
    exit 1
fi
if ! diff -u "$expected" "$work/output" > "$work/diff"; then
    echo "golden run: $(basename "$script") plays differently from its kept output:" >&2
    head -n 60 "$work/diff" >&2
    exit 1
fi
echo "golden run: $(basename "$script"): $(grep -c '^frames' "$work/output") frame digests, $(tail -n 2 "$work/output" | head -n 1); $replay_note"
