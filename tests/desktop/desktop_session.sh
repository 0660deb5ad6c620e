# The desktop session the window tests share, sourced by them once they have set
# $game and $content: a temporary folder with the test content in $tmp/data, a virtual X
# server with openbox, and helpers that start the game and follow its --log-strokes
# lines. Sets $started; the tests' pictures and checks are their own.
#
# $window_title (an extended regular expression) names the window start_game waits for.
started=$(date +%s)
window_title=${window_title:-^Greenvale$}

# Game states of the log (Golf::State).
in_flight=0
aiming=6
main_menu=9
swing_meter=11
full_swing=12
putt=13

source "$(dirname "${BASH_SOURCE[0]}")/../test_report.sh"
tmp=
xvfb_pid=
wm_pid=
game_pid=

# With the game's last words.
die() {
    say "ERROR $*"
    [[ -n "$tmp" && -f "$tmp/game.err" ]] && sed 's/^/  game: /' "$tmp/game.err" | tail -n 20
    exit 1
}

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        say "SKIP: $tool is missing (make deps installs it)"
        exit 77
    fi
done
for tool in openbox xwd timeout; do
    command -v "$tool" >/dev/null || die "$tool is missing: run 'make deps' (scripts/debian-packages.txt)"
done

stop_game() {
    if [[ -n "$game_pid" ]]; then
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
        game_pid=
    fi
}
cleanup() {
    stop_game
    for pid in "$wm_pid" "$xvfb_pid"; do
        if [[ -n "$pid" ]]; then
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    [[ -n "$tmp" ]] && rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tmp=$(mktemp -d "${TMPDIR:-/tmp}/fairholm-desktop.XXXXXX") || die "cannot make a temporary folder"
mkdir -p "$tmp/data" "$tmp/shots" "$tmp/config" "$tmp/home"
"$content" "$tmp/data" || die "cannot write the test content"
# The player's own settings stay out of the test, and the test's out of them.
export XDG_CONFIG_HOME="$tmp/config" HOME="$tmp/home"
export SDL_AUDIODRIVER=dummy
# Under AddressSanitizer: the system libraries' own leaks are not the game's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp"
unset SDL_VIDEODRIVER
# SDL's own software renderer onto a plain X window: the virtual X server has no GPU, and
# Mesa's software GL would bring threads of its own (which ThreadSanitizer cannot see
# into) into the tsan run.
export SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0

# --- A virtual X server with a window manager ------------------------------------------
# Xvfb picks a free display; another X server starting at the same moment can take it
# first, so the server is tried up to three times until it answers.
start_xvfb() {
    : >"$tmp/display"
    Xvfb -displayfd 3 -screen 0 1400x1400x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        [[ -s "$tmp/display" ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s "$tmp/display" ]] || return 1
    export DISPLAY=":$(head -n1 "$tmp/display")"
    for _ in $(seq 100); do
        timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
for attempt in 1 2 3; do
    start_xvfb && break
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    [[ $attempt == 3 ]] && die "Xvfb did not start: $(cat "$tmp/xvfb.log")"
done
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is there once it answers for its desktops (EWMH).
for _ in $(seq 300); do
    timeout 5 xdotool get_num_desktops >/dev/null 2>&1 && break
    kill -0 "$wm_pid" 2>/dev/null || die "openbox ended: $(cat "$tmp/openbox.log")"
    sleep 0.1
done
timeout 5 xdotool get_num_desktops >/dev/null 2>&1 || die "openbox did not start within 30 s"
timeout 5 xdotool mousemove 1390 1390 >/dev/null 2>&1
say "desktop test of $game on display $DISPLAY (openbox)"

# --- Helpers ---------------------------------------------------------------------------
window=
mark=0

# Starts the game (ended after 300 s at the latest) and waits up to 60 s for its window.
start_game() {
    : >"$tmp/game.log"
    [[ -s "$tmp/game.err" ]] && cat "$tmp/game.err" >>"$tmp/earlier.err"
    (cd "$tmp/shots" && exec timeout 300 "$game" --data "$tmp/data" --log-strokes "$@" >"$tmp/game.log" 2>"$tmp/game.err") &
    game_pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "$window_title" 2>/dev/null | head -n1)
    [[ -n "$window" ]] || die "no window titled $window_title within 60 s"
    timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1
    mark=0
}
alive() { [[ -n "$game_pid" ]] && kill -0 "$game_pid" 2>/dev/null; }
# Log lines from now on are the ones the next wait looks at.
set_mark() { mark=$(wc -l <"$tmp/game.log"); }
since_mark() { tail -n +"$((mark + 1))" "$tmp/game.log"; }
# Waits up to $2 seconds for a play line after the mark matching the extended regular
# expression $1; sets $line to the first such line.
wait_line() {
    local pattern=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do
        line=$(since_mark | grep -E -m1 "$pattern")
        [[ -n "$line" ]] && return 0
        alive || return 1
        sleep 0.1
    done
    return 1
}
wait_state() { wait_line "^play state=$1 " "$2"; }
field() { sed -n "s/.*\<$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# The latest play line.
last_play() { grep '^play ' "$tmp/game.log" | tail -n1; }
# Real key presses into the game's window (focused first).
press() {
    timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1
    timeout 10 xdotool key --delay 120 "$@" >/dev/null 2>&1
}
# Waits until the ball of the stroke is at rest and the next one is aimed (60 s).
# The view is then drawn afresh strip by strip, and keys pressed meanwhile would wait in
# the queue: a few seconds more before the next key.
wait_next_aim() {
    local strokes=$1
    wait_line "^play state=$aiming .*strokes=$strokes " 60 || return 1
    sleep 4
}

# Return on the main menu's "New game" once it stands still (the title's keys are flushed
# while it loads), then waits for the first tee; dies when either does not come.
new_game() {
    sleep 3
    set_mark
    press Return
    if ! wait_line "^play state=[^$main_menu] " 15; then
        set_mark
        press Return
    fi
    wait_state "$aiming" 60 || die "Return on \"New game\" did not lead to the first tee ($(last_play))"
}
