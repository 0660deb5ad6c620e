#!/usr/bin/env bash
# The desktop game as a player has it: the SDL program `fairholm` in a window managed by
# openbox on a virtual X server, the small test content, the real clock, real key presses
# from xdotool (XTEST, into the focused window). What the game does is read from its
# --log-strokes lines (state, strokes, club, aim and power as the game thread sees them)
# and from pictures: its own F12 screenshots (the frame buffer) and xwd captures of the
# window (what the window shows).
#
#   desktop_keys.sh <fairholm> <make_test_content> <desktop_shot>
#
# Checks: Escape while aiming opens the main menu once and the program keeps running;
# F1, 1.2 s, F1 stops the meter at about 56 % and plays the stroke; F2 hides the key help
# and F2 shows it again; Enter after a Right turn swings; a window of 960 x 1280 (and of
# 1100 x 1340) shows the 240 x 320 game enlarged 4 times, centred between black bars; the
# window's size is remembered for the next start; keys.conf rebinds keys and names its
# broken lines. Every wait is bounded; exit code 77 (skipped) when Xvfb or xdotool are
# missing.
set -uo pipefail

game=${1:?usage: desktop_keys.sh <fairholm> <make_test_content> <desktop_shot>}
content=${2:?usage: desktop_keys.sh <fairholm> <make_test_content> <desktop_shot>}
shot_tool=${3:?usage: desktop_keys.sh <fairholm> <make_test_content> <desktop_shot>}

source "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"

# --- Helpers of this test -------------------------------------------------------------
# The game's F12 screenshot as $tmp/$1.png.
screenshot() {
    local before
    before=$(grep -c '^screenshot ' "$tmp/game.log")
    press F12
    for _ in $(seq 100); do
        [[ $(grep -c '^screenshot ' "$tmp/game.log") -gt $before ]] && break
        sleep 0.1
    done
    local name
    name=$(grep '^screenshot ' "$tmp/game.log" | tail -n1 | cut -d' ' -f2-)
    [[ $(grep -c '^screenshot ' "$tmp/game.log") -gt $before && -s "$tmp/shots/$name" ]] || return 1
    mv "$tmp/shots/$name" "$tmp/$1.png"
}
# The window's contents as $tmp/$1.xwd.
capture() { timeout 20 xwd -id "$window" -silent -out "$tmp/$1.xwd" 2>/dev/null && [[ -s "$tmp/$1.xwd" ]]; }
geometry() { timeout 10 xdotool getwindowgeometry "$window" 2>/dev/null | sed -n 's/.*Geometry: //p'; }
# Resizes the window and waits up to 20 s for the size.
resize() {
    timeout 20 xdotool windowsize --sync "$window" "$1" "$2" >/dev/null 2>&1
    for _ in $(seq 200); do
        [[ "$(geometry)" == "$1x$2" ]] && return 0
        sleep 0.1
    done
    return 1
}
# --- The round starts ------------------------------------------------------------------
start_game
wait_state "$main_menu" 60 || die "the main menu did not show within 60 s ($(last_play))"
pass "the window shows the main menu ($(geometry))"
new_game
pass "Return on \"New game\" starts the round; aiming"
sleep 4 # the view drawn and the key help up

# --- (c) F2 hides the key help, F2 shows it again --------------------------------------
if screenshot help-shown; then
    size=$("$shot_tool" size "$tmp/help-shown.png")
    width=${size%x*}
    height=${size#*x}
    # The key help panel: the top right of the screen.
    panel=("$((width * 3 / 4))" 0 "$((width - width * 3 / 4))" "$((height / 3))")
    press F2
    sleep 1.5
    screenshot help-hidden
    press F2
    sleep 1.5
    screenshot help-again
    hidden=$("$shot_tool" diff "$tmp/help-shown.png" "$tmp/help-hidden.png" "${panel[@]}")
    again=$("$shot_tool" diff "$tmp/help-shown.png" "$tmp/help-again.png" "${panel[@]}")
    of=$(field of "$hidden")
    if [[ -z "$of" || "$of" -eq 0 ]]; then
        fail "(c) the screenshots cannot be compared: $hidden"
    elif (($(field differ "$hidden") * 5 < of)); then
        fail "(c) F2 did not hide the key help: $hidden of the top-right panel changed"
    elif (($(field differ "$again") * 50 > of)); then
        fail "(c) the second F2 did not bring the key help back: $again pixels differ from before"
    else
        pass "(c) F2 hides the key help ($(field differ "$hidden") of $of panel pixels change), F2 shows it again ($(field differ "$again") differ)"
    fi
else
    fail "(c) no F12 screenshot while aiming"
fi

# --- (d) Enter after a turn to the right swings -----------------------------------------
aim_before=$(field aim "$(last_play)")
set_mark
press Right
if wait_line "^play state=$aiming " 5 && [[ "$(field aim "$line")" != "$aim_before" ]]; then
    set_mark
    press Return
    if wait_state "$swing_meter" 5; then
        pass "(d) Enter after a Right turn starts the power meter (not another turn)"
    elif since_mark | grep -q "^play state=$aiming "; then
        fail "(d) Enter after a Right turn turned again instead of swinging: $(since_mark | tr '\n' ' ')"
    else
        fail "(d) Enter after a Right turn did nothing ($(last_play))"
    fi
else
    fail "(d) Right did not turn the aim by one step ($(last_play))"
fi
# The meter runs full by itself; the stroke is played and the ball comes to rest.
wait_next_aim 1 || die "the first stroke did not end at the next aim within 60 s ($(last_play))"

# --- (b) F1, 1.2 s, F1: the meter stops at about 1.2 s of its run -----------------------
set_mark
press F1
sleep 1.2
press F1
if wait_line "^play state=($full_swing|$putt) " 10; then
    power=$(field power "$line")
    # 3072 sixteenths of a per cent a millisecond: 1.2 s is 56 %.
    if ((power >= 40 && power <= 75)); then
        pass "(b) F1 twice 1.2 s apart stops the meter at $power % (1.2 s is 56 %)"
    else
        fail "(b) the meter stopped at $power %, expected about 56 % ($line)"
    fi
    if wait_line "^play state=.* strokes=2 " 20; then
        pass "(b) the stroke is played (strokes=2, club $(field club "$line"))"
    else
        fail "(b) no stroke after the meter stopped ($(last_play))"
    fi
else
    fail "(b) F1 twice did not stop a meter ($(since_mark | tr '\n' ' '))"
fi
wait_next_aim 2 || die "the second stroke did not end at the next aim within 60 s ($(last_play))"

# --- (a) Escape while aiming opens the main menu, once ---------------------------------
set_mark
press Escape
if wait_state "$main_menu" 10; then
    sleep 3
    if ! alive; then
        fail "(a) the program ended after one Escape: the key acted twice"
    elif [[ $(since_mark | grep -c '^play ') -ne 1 ]]; then
        fail "(a) one Escape did more than open the menu: $(since_mark | tr '\n' ' ')"
    else
        pass "(a) Escape while aiming opens the main menu and the program keeps running"
    fi
else
    fail "(a) Escape while aiming did not open the main menu ($(last_play))"
fi

# --- (e) A larger window shows the game enlarged by whole steps, centred ---------------
# The main menu stands still, so a capture and a screenshot show the same picture.
check_scaled() {
    local w=$1 h=$2 left=$3 top=$4
    if ! resize "$w" "$h"; then
        fail "(e) the window could not be made ${w}x$h (it is $(geometry))"
        return
    fi
    sleep 2
    if ! capture "window-$w" || ! screenshot "game-$w"; then
        fail "(e) no capture or screenshot of the ${w}x$h window"
        return
    fi
    local result
    result=$("$shot_tool" scaled "$tmp/window-$w.xwd" "$tmp/game-$w.png" 4)
    local game_size picture mixed bars unlike edge
    game_size=$(field game "$result")
    picture=$(field picture "$result")
    mixed=$(field mixed "$result")
    bars=$(field bars "$result")
    unlike=$(field unlike "$result")
    edge=$(field edge "$result")
    if [[ "$(field window "$result")" != "${w}x$h" || "$game_size" != 240x320 ]]; then
        fail "(e) the ${w}x$h window is not a 240x320 game: $result"
    elif [[ "$picture" != "$left,$top,960x1280" || "$mixed" != 0 || "$bars" != 0 ]]; then
        fail "(e) the ${w}x$h window does not show the game 4 times, centred, between black bars: $result"
    elif ((unlike > 240 * 320 / 100 || edge == 0)); then
        fail "(e) the ${w}x$h window shows another picture than the game's frame: $result"
    else
        pass "(e) a ${w}x$h window shows the 240x320 game scaled by 4 at ($left, $top): every 4x4 block one colour, bars black ($unlike of 76800 pixels unlike the frame)"
    fi
}
check_scaled 960 1280 0 0
check_scaled 1100 1340 70 30

# Back to the round: the menu's "Resume game".
set_mark
press Down Return
if wait_state "$aiming" 10 && sleep 1 && alive; then
    pass "(a) \"Resume game\" goes back to the ball; the program is still running"
else
    fail "(a) \"Resume game\" did not go back to aiming ($(last_play))"
fi

# --- The window's size is remembered -----------------------------------------------------
resize 600 800 || fail "the window could not be made 600x800"
sleep 1
set_mark
press Escape
wait_state "$main_menu" 10
sleep 1
press Escape
for _ in $(seq 200); do
    alive || break
    sleep 0.1
done
if alive; then
    fail "Escape in the main menu did not end the program within 20 s"
    stop_game
else
    wait "$game_pid"
    status=$?
    game_pid=
    [[ $status == 0 ]] || fail "the program ended with $status, expected 0"
fi
remembered="$XDG_CONFIG_HOME/fairholm/window.conf"
# The next start also reads a key configuration: Escape unbound, Q the back key, and a
# broken line that is named and skipped.
keys="$XDG_CONFIG_HOME/fairholm/keys.conf"
mkdir -p "${keys%/*}"
printf '# test keys\nkey Escape = none\nkey W = jump\nkey Q = back\n' >"$keys"
if grep -qx 'size 600x800' "$remembered" 2>/dev/null; then
    start_game
    if wait_state "$main_menu" 60 && [[ "$(geometry)" == 600x800 ]] && screenshot remembered &&
        [[ "$("$shot_tool" size "$tmp/remembered.png")" == 300x400 ]]; then
        pass "the window's size is remembered: the next start opens 600x800 (the game at 300x400)"
    else
        fail "the next start did not open the remembered 600x800 window ($(geometry), $(last_play))"
    fi
else
    fail "the window's size was not remembered in $remembered: $(cat "$remembered" 2>&1)"
    start_game
    wait_state "$main_menu" 60
fi
if grep -qF "$keys:3: unknown engine key \"jump\"" "$tmp/game.err"; then
    pass "keys.conf: a broken line is named on standard error with its file and line"
else
    fail "keys.conf: no message naming $keys:3 ($(head -c 300 "$tmp/game.err"))"
fi
sleep 2
press Escape
sleep 2
if ! alive; then
    fail "keys.conf: Escape bound to none still acted (the program ended in the main menu)"
else
    press q
    for _ in $(seq 200); do
        alive || break
        sleep 0.1
    done
    if alive; then
        fail "keys.conf: Q bound to back did not end the program from the main menu"
    else
        pass "keys.conf: Escape bound to none does nothing, Q bound to back leaves the main menu"
    fi
fi
stop_game

cat "$tmp/game.err" >>"$tmp/earlier.err" 2>/dev/null
if [[ -s "$tmp/earlier.err" ]]; then
    say "the game said on standard error:"
    sed 's/^/  /' "$tmp/earlier.err" | head -n 80
fi
elapsed=$(($(date +%s) - started))
if [[ $failures -gt 0 ]]; then
    say "$failures desktop check(s) failed (${elapsed} s)"
    exit 1
fi
say "all desktop checks passed (${elapsed} s)"
