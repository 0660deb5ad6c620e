#!/usr/bin/env bash
# fairholm.exe end to end: the Windows build of the game runs under wine (a fresh 32-bit
# prefix in a temporary folder) on a virtual X server, with its data files beside it. A
# small helper (windowshot.exe) copies the window's client area and reports its colours;
# xdotool finds the window and types the keys.
#
#   wine_tests.sh <folder with fairholm.exe and the data files> <folder with windowshot.exe>
#                 [fairholm-headless]
#
# With the headless shell named, the recording the Windows game keeps of a swing is
# played back by it: the same game on another system and compiler.
# Set FAIRHOLM_WINE_SHOTS to a folder to keep the screenshots (BMP files) there.
# Every wait is bounded; the script fails with a message instead of hanging when wine or
# the X server misbehaves, and it always stops the game, its wine server and X server.
set -uo pipefail

dist=${1:?usage: wine_tests.sh <game folder> <helper folder>}
helpers=${2:?usage: wine_tests.sh <game folder> <helper folder>}
headless=${3:-}
started=$(date +%s)

title=Greenvale
sky=005995   # top row of the title screen's gradient
text=FFFFFF  # menu text

game_pid=
source "$(dirname "${BASH_SOURCE[0]}")/../wine_setup.sh"

cleanup() {
    if [[ -n "$game_pid" ]]; then
        kill "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    stop_wine_and_x
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- Preconditions -------------------------------------------------------------------
for tool in wine wineserver Xvfb xdotool timeout; do
    command -v "$tool" >/dev/null || die "$tool is missing: run 'make deps' (scripts/debian-packages.txt)"
done
for file in "$dist/fairholm.exe" "$dist/f10.bin" "$dist/f13.bin" "$dist/f16.bin" "$dist/help.txt" \
    "$helpers/windowshot.exe" "$helpers/resourcelist.exe"; do
    [[ -f "$file" ]] || die "$file is missing: run 'make build windows'"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/fairholm-game-wine.XXXXXX") || die "cannot make a temporary folder"

# --- Virtual X server and wine prefix ------------------------------------------------------
start_xvfb 1024x768
make_wine_prefix

# The game and its data in a folder with a space in its name (the state file is written
# there, not into the build).
game_dir="$tmp/Game Dir"
mkdir -p "$game_dir"
cp "$dist"/* "$game_dir/" 2>/dev/null
# The pointer stays outside the window, out of the screenshots.
timeout 5 xdotool mousemove 1020 760 >/dev/null 2>&1

# --- Helpers ---------------------------------------------------------------------------
windows() { timeout 10 xdotool search --name "^$title\$" 2>/dev/null | wc -l; }

# Copies the window into $tmp/$1.bmp; sets $shot to the helper's report (empty when the
# window could not be read).
take_shot() {
    shot=$(timeout 30 wine "$helpers/windowshot.exe" "$title" "$tmp/$1.bmp" "$sky" "$text" 2>/dev/null | tr -d '\r')
    [[ "$shot" == size=* ]] || shot=
    if [[ -n "$shot" && -n "${FAIRHOLM_WINE_SHOTS:-}" ]]; then
        mkdir -p "$FAIRHOLM_WINE_SHOTS" && cp "$tmp/$1.bmp" "$FAIRHOLM_WINE_SHOTS/"
    fi
}
field() { sed -n "s/.*\<$1=\([^ ]*\).*/\1/p" <<<"$shot"; }

# Starts the game with the given arguments (ended after 300 s at the latest).
start_game() {
    timeout 300 wine "$game_dir/fairholm.exe" "$@" >"$tmp/game.log" 2>&1 &
    game_pid=$!
}

# Waits up to 60 s for the window; true when it is there.
wait_window() {
    for _ in $(seq 600); do
        [[ $(windows) -ge 1 ]] && return 0
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits up to 30 s for a picture with the sky and the menu text that is the same in two
# shots in a row (the menu stands still); the shot is $1.
wait_menu() {
    local previous=
    for _ in $(seq 30); do
        take_shot "$1"
        if [[ -n "$shot" && "$(field "$sky")" -gt 0 && "$(field "$text")" -gt 0 ]]; then
            [[ "$(field hash)" == "$previous" ]] && return 0
            previous=$(field hash)
        fi
        sleep 1
    done
    return 1
}

# Waits up to 20 s for a picture other than hash $2; with $3 = still, one that then
# stands still (a menu; the course moves with the wind and the camera). The shot is $1.
wait_change() {
    local before=$2 still=${3:-} previous=
    for _ in $(seq 20); do
        take_shot "$1"
        if [[ -n "$shot" && "$(field hash)" != "$before" ]]; then
            [[ -z "$still" || "$(field hash)" == "$previous" ]] && return 0
            previous=$(field hash)
        fi
        sleep 1
    done
    return 1
}

# Types keys into the game window.
press() {
    local window
    window=$(timeout 10 xdotool search --name "^$title\$" 2>/dev/null | head -n1)
    [[ -n "$window" ]] && timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1
    timeout 5 xdotool key --delay 100 "$@" >/dev/null 2>&1
}

# Escape (back) until the game has ended, at most 20 s; sets $status.
quit_game() {
    for _ in $(seq 10); do
        press Escape
        for _ in $(seq 20); do
            kill -0 "$game_pid" 2>/dev/null || break 2
            sleep 0.1
        done
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        status=running
        return
    fi
    wait "$game_pid"
    status=$?
    game_pid=
}

say "wine tests of fairholm.exe (prefix $WINEPREFIX, display $DISPLAY)"

# --- Self-contained: the program imports only DLLs of Windows itself -------------------
if command -v i686-w64-mingw32-objdump >/dev/null; then
    imports=$(i686-w64-mingw32-objdump -p "$dist/fairholm.exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z')
    foreign=$(grep -vxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|WINMM.DLL|SHELL32.DLL|ADVAPI32.DLL|MSVCRT.DLL' <<<"$imports")
    if [[ -z "$imports" ]]; then
        fail "objdump lists no imports of fairholm.exe"
    elif [[ -n "$foreign" ]]; then
        fail "fairholm.exe needs DLLs that Windows does not have: $(tr '\n' ' ' <<<"$foreign")"
    else
        pass "fairholm.exe imports only Windows' own DLLs ($(tr '\n' ' ' <<<"$imports"))"
    fi
fi

# --- The version, on the standard output the program is given -----------------------
version=$(timeout 30 wine "$game_dir/fairholm.exe" --version 2>/dev/null | tr -d '\r')
want="fairholm $(cat "$(dirname "$0")/../../VERSION")"
if [[ "$version" == "$want" ]]; then
    pass "fairholm.exe --version prints \"$want\""
else
    fail "fairholm.exe --version printed [$version], not [$want]"
fi

# --- Resources: title and class strings, icon, accelerators, resolution declaration ---
resources=$(timeout 30 wine "$helpers/resourcelist.exe" "$game_dir/fairholm.exe" 2>/dev/null | tr -d '\r')
expect_resource() {
    if grep -qx "$1" <<<"$resources"; then
        pass "resource $2"
    else
        fail "resource $2: no line [$1] in"$'\n'"$resources"
    fi
}
expect_resource 'string|1|Greenvale' 'string 1 is the title "Greenvale"'
expect_resource 'string|2|FAIRHOLM' 'string 2 is the class "FAIRHOLM"'
expect_resource 'icon|101|32x32' 'icon 101 (32 x 32)'
expect_resource 'accelerator|9|65|40002' 'accelerator Ctrl+A gives command 40002'
expect_resource 'accelerator|9|81|40000' 'accelerator Ctrl+Q gives command 40000'
expect_resource 'ceux|HI_RES_AWARE|1' 'HI_RES_AWARE of type CEUX holds 1'

# --- A high-resolution window: 480 x 640, the game at 240 x 320 stretched by 2 ---------
start_game
if ! wait_window; then
    die "no window titled \"$title\" appeared within 60 s: $(tail -n 5 "$tmp/game.log")"
fi
pass "the window appears with the title \"$title\""

if wait_menu title-menu; then
    menu_hash=$(field hash)
    if [[ "$(field size)" != 480x640 ]]; then
        fail "the window's client area is $(field size), expected 480x640"
    elif (($(field "$sky") % 960 != 0)); then
        fail "the picture is not stretched by 2: $(field "$sky") pixels of the top sky colour"
    else
        pass "the title and the main menu show, stretched by 2 ($shot)"
    fi
else
    fail "no title screen with the menu within 30 s (last shot: ${shot:-none})"
    menu_hash=
fi

press Down
if wait_change menu-down "$menu_hash" still; then
    down_hash=$(field hash)
    pass "Down moves the menu's selection"
else
    fail "Down did not change the picture"
    down_hash=$menu_hash
fi

press Return
if wait_change resume "$down_hash" && [[ "$(field hash)" != "$menu_hash" ]]; then
    sleep 3 # the course loaded and drawn
    take_shot resume
    pass "Return on \"Resume game\" leaves the menu ($shot)"
    # A swing: Return starts the meter, which plays the stroke once full.
    press Return
    sleep 8
else
    fail "Return on \"Resume game\" did not change the picture (last shot: ${shot:-none})"
fi

# A second start brings the first window to the front and ends at once.
second_started=$(date +%s%N)
timeout 60 wine "$game_dir/fairholm.exe" >"$tmp/second.log" 2>&1
second_status=$?
second_ms=$((($(date +%s%N) - second_started) / 1000000))
if [[ "$second_status" != 0 ]]; then
    fail "the second start ended with $second_status, expected 0"
elif [[ $(windows) != 1 ]]; then
    fail "after a second start there are $(windows) windows titled \"$title\""
elif ! kill -0 "$game_pid" 2>/dev/null; then
    fail "the first game ended when the second one started"
else
    pass "a second start leaves one window and ends with 0 (${second_ms} ms)"
fi

# Back to the menu, then back once more ends the game: exit code 0, no window left.
quit_game
if [[ "$status" == running ]]; then
    fail "Escape did not end the game within 20 s"
elif [[ "$status" != 0 ]]; then
    fail "the game ended with $status, expected 0"
elif [[ $(windows) != 0 ]]; then
    fail "a window is left after the game ended"
else
    pass "back in the main menu ends the game: exit code 0, the window is gone"
fi

# The game was recorded, beside it or in the user's data folder.
recording=$(find "$game_dir" "$WINEPREFIX/drive_c" -path '*replays/round-000001.fhr' 2>/dev/null | head -n1)
if [[ -z "$recording" || ! -s "$recording" ]]; then
    fail "the game left no recording in replays\\ (beside it or in %APPDATA%\\fairholm)"
elif [[ -z "$headless" ]]; then
    pass "the game is recorded in $(wc -c <"$recording") bytes"
else
    replayed=$(cd "$game_dir" && timeout 120 "$headless" --data "$game_dir" --replay "$recording" --quiet 2>&1 | tail -n 1)
    if [[ "$replayed" == "replay ended after "*" strokes: the end of the recording" ]]; then
        pass "the game is recorded in $(wc -c <"$recording") bytes, and plays back on Linux: $replayed"
    else
        fail "the Windows game's recording does not play back on Linux: $replayed"
    fi
fi

# --- A small window: 240 x 320, copied 1:1 -------------------------------------------
start_game --size 240x320
if ! wait_window; then
    fail "no window with --size 240x320 within 60 s"
elif wait_menu small-menu; then
    if [[ "$(field size)" != 240x320 ]]; then
        fail "the small window's client area is $(field size), expected 240x320"
    elif (($(field "$sky") % 240 != 0)); then
        fail "the small window's top rows are not whole rows of the sky: $(field "$sky") pixels"
    else
        pass "a 240 x 320 window shows the title and menu 1:1 ($shot)"
    fi
else
    fail "the small window shows no title screen with the menu within 30 s (last shot: ${shot:-none})"
fi
# A tap (left button down and up) on "New game" is the action key there: the round starts.
small_hash=$(field hash)
window=$(timeout 10 xdotool search --name "^$title\$" 2>/dev/null | head -n1)
if [[ -n "$window" ]]; then
    timeout 5 xdotool mousemove --window "$window" 120 156 click 1 >/dev/null 2>&1
    timeout 5 xdotool mousemove 1020 760 >/dev/null 2>&1
fi
if [[ -n "$small_hash" ]] && wait_change small-tap "$small_hash"; then
    pass "a tap on \"New game\" starts the round ($shot)"
else
    fail "a tap in the menu did not change the picture (last shot: ${shot:-none})"
fi
# Closing the window while a round is in play: the game loop stops first, exit code 0.
timeout 30 wine "$helpers/windowshot.exe" --close "$title" >/dev/null 2>&1
for _ in $(seq 200); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    fail "closing the window did not end the game within 20 s"
else
    wait "$game_pid"
    status=$?
    game_pid=
    if [[ "$status" != 0 ]]; then
        fail "closing the window ended the game with $status, expected 0"
    elif [[ $(windows) != 0 ]]; then
        fail "a window is left after closing it"
    else
        pass "closing the window during play ends the game: exit code 0"
    fi
fi

elapsed=$(($(date +%s) - started))
if [[ $failures -gt 0 ]]; then
    say "$failures wine test(s) of the game failed (${elapsed} s)"
    exit 1
fi
say "all wine tests of the game passed (${elapsed} s)"
