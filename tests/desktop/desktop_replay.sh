#!/usr/bin/env bash
# A game recorded in the desktop window and played back: the SDL program `fairholm` on a
# virtual X server with openbox, the real clock, real key presses from xdotool. The game
# is recorded as every game is (replays/ beside the test content); it is played back in
# the headless shell and in the window, and both must print what the live game printed:
# every --log-strokes line (state, strokes, club, aim, power and the digest of the frame
# then presented) and the end line.
#
#   desktop_replay.sh <fairholm> <fairholm-headless> <make_test_content>
#
# Every wait is bounded; exit code 77 (skipped) when Xvfb or xdotool are missing.
set -uo pipefail

game=${1:?usage: desktop_replay.sh <fairholm> <fairholm-headless> <make_test_content>}
headless=${2:?usage: desktop_replay.sh <fairholm> <fairholm-headless> <make_test_content>}
content=${3:?usage: desktop_replay.sh <fairholm> <fairholm-headless> <make_test_content>}

source "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"

# The lines a playback must repeat.
play_lines() { grep -E '^(play|end) ' "$1"; }
# Waits up to $2 seconds for a line of the whole log matching $1.
wait_log() {
    for _ in $(seq $(($2 * 10))); do
        grep -qE "$1" "$tmp/game.log" && return 0
        alive || return 1
        sleep 0.1
    done
    return 1
}
wait_exit() {
    for _ in $(seq $(($1 * 10))); do
        alive || return 0
        sleep 0.1
    done
    return 1
}

# --- The game, recorded -----------------------------------------------------------------
start_game
wait_state "$main_menu" 60 || die "the main menu did not show within 60 s ($(last_play))"
new_game
sleep 4
# Turns, a full meter, meters stopped by hand after different times, the map.
press Right Right Return
wait_next_aim 1 || die "the first stroke did not end at the next aim ($(last_play))"
press F1
sleep 0.9
press F1
wait_next_aim 2 || die "the second stroke did not end at the next aim ($(last_play))"
press 7
sleep 1.5
press 7
sleep 2
press Left F1
sleep 0.5
press F1
wait_next_aim 3 || die "the third stroke did not end at the next aim ($(last_play))"
# Leave through the main menu's "Exit", above the players entry at the end.
press Escape
sleep 2
press Up Up Return
wait_exit 20 || die "the game did not end from the main menu's Exit ($(last_play))"
game_pid=
cp "$tmp/game.log" "$tmp/live.log"
recording=$(sed -n 's/^recording //p' "$tmp/live.log")
strokes=$(grep -c '^play state=0 ' "$tmp/live.log")
if [[ -z "$recording" || ! -s "$recording" ]]; then
    die "the game named no recording ($(tail -n 2 "$tmp/live.log" | tr '\n' ' '))"
fi
grep -q '^end ' "$tmp/live.log" || die "the game printed no end line"
pass "a game of $strokes strokes played with real keys, recorded in $(wc -c <"$recording") bytes ($(basename "$recording"))"

# --- Played back in the headless shell --------------------------------------------------
(cd "$tmp/data" && timeout 120 "$headless" --data "$tmp/data" --replay "$recording" --log-strokes --quiet) \
    >"$tmp/headless.log" 2>"$tmp/headless.err"
if ! grep -q '^replay ended .*: the end of the recording$' "$tmp/headless.log"; then
    fail "the headless shell did not play the recording to its end: $(tail -n 1 "$tmp/headless.log") $(head -c 300 "$tmp/headless.err")"
elif ! diff <(play_lines "$tmp/live.log") <(play_lines "$tmp/headless.log") >"$tmp/headless.diff"; then
    fail "the headless playback differs from the live game:"
    head -n 20 "$tmp/headless.diff"
else
    pass "the headless playback prints the same $(play_lines "$tmp/live.log" | wc -l) lines: frame digests at every change, every stroke, the end line"
fi

# --- Played back in the window, fast, skipping ahead ------------------------------------
window_title='^Greenvale - replay'
start_game --replay "$recording"
sleep 1
press Up
wait_log '^play state=0 ' 60
press n
if wait_log '^replay ended ' 120; then
    if ! diff <(play_lines "$tmp/live.log") <(play_lines "$tmp/game.log") >"$tmp/window.diff"; then
        fail "the playback in the window differs from the live game:"
        head -n 20 "$tmp/window.diff"
    elif ! grep -q '^replay ended .*: the end of the recording$' "$tmp/game.log"; then
        fail "the playback in the window did not end well: $(grep '^replay ' "$tmp/game.log")"
    else
        pass "the playback in the window, four times as fast and skipping a stroke, prints the same lines"
    fi
    press q
    wait_exit 20 || fail "a key did not close the window after the playback"
else
    fail "the playback in the window did not end within 120 s ($(last_play); $(grep -E '^(replay|end) ' "$tmp/game.log" | tr '\n' ' '))"
fi
stop_game

[[ -s "$tmp/game.err" ]] && { say "the game said on standard error:"; sed 's/^/  /' "$tmp/game.err" | head -n 40; }
elapsed=$(($(date +%s) - started))
if [[ $failures -gt 0 ]]; then
    say "$failures replay check(s) failed (${elapsed} s)"
    exit 1
fi
say "all replay checks passed (${elapsed} s)"
