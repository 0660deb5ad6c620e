#!/usr/bin/env bash
# The installer launcher end to end: setuplaunch.exe runs under wine (a fresh 32-bit prefix
# in a temporary folder) on a virtual X server. A small recorder program stands in for the
# device application manager; the error box is found with xdotool, read with a helper that
# lists the dialog's controls, and closed with the Return key.
#
#   wine_tests.sh <folder with setuplaunch.exe and setup.ini> <folder with the test helpers>
#
# Every wait is bounded; the script fails with a message instead of hanging when wine or
# the X server misbehaves, and it always stops its wine server and X server.
set -uo pipefail

dist=${1:?usage: wine_tests.sh <launcher folder> <helper folder>}
helpers=${2:?usage: wine_tests.sh <launcher folder> <helper folder>}
started=$(date +%s)

key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE'
error_text='Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.'
caption='Installation'

source "$(dirname "${BASH_SOURCE[0]}")/../wine_setup.sh"

trap stop_wine_and_x EXIT
trap 'exit 130' INT TERM

# --- Preconditions -------------------------------------------------------------------
for tool in wine wineserver winepath Xvfb xdotool timeout; do
    command -v "$tool" >/dev/null || die "$tool is missing: run 'make deps' (scripts/debian-packages.txt)"
done
for file in "$dist/setuplaunch.exe" "$dist/setup.ini" "$helpers/argrecorder.exe" "$helpers/exactstart.exe" \
    "$helpers/dialogtext.exe"; do
    [[ -f "$file" ]] || die "$file is missing: run 'make windows'"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/fairholm-wine.XXXXXX") || die "cannot make a temporary folder"

# --- Virtual X server and wine prefix ------------------------------------------------------
start_xvfb 800x600
make_wine_prefix

winpath() { timeout 30 winepath -w "$1" 2>/dev/null; }

launcher_dir="$tmp/Launcher Dir"
mkdir -p "$launcher_dir" "$tmp/manager"
cp "$dist/setuplaunch.exe" "$dist/setup.ini" "$launcher_dir/"
cp "$helpers/argrecorder.exe" "$tmp/manager/ceappmgr.exe"
launcher_win=$(winpath "$launcher_dir/setuplaunch.exe") || die "winepath does not answer"
launcher_dir_win=$(winpath "$launcher_dir")
manager_win=$(winpath "$tmp/manager/ceappmgr.exe")
record="$tmp/record.txt"
FAIRHOLM_RECORD=$(winpath "$tmp")\\record.txt
export FAIRHOLM_RECORD

set_manager() { timeout 60 wine reg add "$key" /ve /d "$1" /f >/dev/null 2>&1 || die "wine reg add failed"; }
set_manager_bytes() { # a binary default value of $1 bytes 'A', without a terminating zero
    local hex
    hex=$(printf '41%.0s' $(seq "$1"))
    timeout 60 wine reg add "$key" /ve /t REG_BINARY /d "$hex" /f >/dev/null 2>&1 || die "wine reg add failed"
}
delete_key() { timeout 60 wine reg delete "$key" /f >/dev/null 2>&1 || true; }

# Runs the launcher through wine with the given arguments, for at most $limit seconds
# (default 60); sets $status (124 when the limit was reached).
run_launcher() {
    rm -f "$record"
    timeout "${limit:-60}" wine "$launcher_dir/setuplaunch.exe" "$@" >/dev/null 2>&1
    status=$?
}
# Runs the launcher with an exact command line tail (spaces kept); sets $status.
run_launcher_exact() {
    rm -f "$record"
    local out
    out=$(FAIRHOLM_COMMAND_LINE="\"$launcher_win\"$1" timeout 60 wine "$helpers/exactstart.exe" 30000 2>/dev/null)
    case "$out" in
    exit=*) status=${out#exit=} status=${status%%[!0-9]*} ;;
    *) status="no exit code ($out)" ;;
    esac
}
# Waits up to 20 s for the recorder's file.
wait_record() {
    for _ in $(seq 200); do
        [[ -f "$record" ]] && return 0
        sleep 0.1
    done
    return 1
}
record_line() { sed -n "s/^$1=//p" "$record"; }

# Checks that the manager was started with exactly `manager_path` + " " + `argument`.
expect_started() {
    local name=$1 manager_path=$2 argument=$3
    if [[ "$status" == 124 ]]; then
        fail "$name: the launcher did not end in time"
        return
    fi
    if [[ "$status" != 0 ]]; then
        fail "$name: launcher exit code $status, expected 0"
        return
    fi
    if ! wait_record; then
        fail "$name: the manager was not started within 20 s"
        return
    fi
    local line
    line=$(record_line commandline)
    if [[ "$line" != "$manager_path $argument" ]]; then
        fail "$name: manager command line [$line], expected [$manager_path $argument]"
        return
    fi
    pass "$name"
}

# Checks that the launcher ended with 0 and started nothing.
expect_silent() {
    local name=$1
    if [[ "$status" != 0 ]]; then
        fail "$name: launcher exit code $status, expected 0"
        return
    fi
    sleep 1
    if [[ -f "$record" ]]; then
        fail "$name: something was started: $(record_line commandline)"
        return
    fi
    if [[ -n "$(xdotool search --name "^$caption\$" 2>/dev/null)" ]]; then
        fail "$name: an error box is showing"
        return
    fi
    pass "$name"
}

# Starts the launcher, expects the error box, reads it, closes it with Return and checks
# the exit code.
expect_error_box() {
    local name=$1
    rm -f "$record"
    timeout 60 wine "$launcher_dir/setuplaunch.exe" /Install >/dev/null 2>&1 &
    local pid=$! window=
    for _ in $(seq 300); do
        window=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n1)
        [[ -n "$window" ]] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -z "$window" ]]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        fail "$name: no window titled \"$caption\" appeared within 30 s"
        return
    fi
    local ok=1 title controls
    title=$(xdotool getwindowname "$window" 2>/dev/null)
    [[ "$title" == "$caption" ]] || {
        fail "$name: window title [$title]"
        ok=0
    }
    controls=$(timeout 30 wine "$helpers/dialogtext.exe" "$caption" 10000 2>/dev/null | tr -d '\r')
    if ! awk -F'|' -v text="$error_text" '$1 == "child" && $2 == "Static" && $5 == text { found = 1 }
            END { exit !found }' <<<"$controls"; then
        fail "$name: the box does not show the error text; its controls:"$'\n'"$controls"
        ok=0
    fi
    if [[ $(grep -c '^child|Button|' <<<"$controls") != 1 ]] || ! grep -qx 'child|Button|1|-|OK' <<<"$controls"; then
        fail "$name: the box should have one OK button; its controls:"$'\n'"$controls"
        ok=0
    fi
    if ! grep -q '^child|Static|[0-9-]*|icon|' <<<"$controls"; then
        fail "$name: the box shows no icon; its controls:"$'\n'"$controls"
        ok=0
    fi
    # Return closes the box; sent again every second in case a key press went astray.
    for _ in $(seq 15); do
        timeout 5 xdotool windowfocus "$window" >/dev/null 2>&1
        timeout 5 xdotool key Return >/dev/null 2>&1
        for _ in $(seq 10); do
            kill -0 "$pid" 2>/dev/null || break 2
            sleep 0.1
        done
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        fail "$name: the launcher did not end after Return"
        return
    fi
    wait "$pid"
    status=$?
    [[ "$status" == 0 ]] || {
        fail "$name: launcher exit code $status after the box, expected 0"
        ok=0
    }
    [[ -f "$record" ]] && {
        fail "$name: something was started after the box"
        ok=0
    }
    [[ $ok == 1 ]] && pass "$name"
}

say "wine tests of setuplaunch (prefix $WINEPREFIX, display $DISPLAY)"
setup_argument="\"$launcher_dir_win\\setup.ini\""

# --- The manager is registered --------------------------------------------------------
set_manager "$manager_win"

# The manager keeps running until it is released (up to 90 s): the launcher, replaced by
# it, must have ended long before.
FAIRHOLM_HOLD=$(winpath "$tmp")\\release
export FAIRHOLM_HOLD
rm -f "$tmp/release"
limit=30 run_launcher /Install
expect_started "/Install hands the manager the quoted setup.ini beside the launcher" "$manager_win" \
    "$setup_argument"
if [[ -f "$record" && "$status" == 0 ]]; then
    pass "the launcher ends (exit code 0) while the manager it started still runs"
fi
touch "$tmp/release"
unset FAIRHOLM_HOLD
if [[ -f "$record" && "$(record_line argv1)" != "$launcher_dir_win\\setup.ini" ]]; then
    fail "/Install: the manager's argument 1 is [$(record_line argv1)]"
fi

run_launcher_exact " /Install "
expect_started "\"/Install \" (trailing space) gives an empty argument" "$manager_win" ""
run_launcher /install
expect_started "/install (other letter case) gives an empty argument" "$manager_win" ""
run_launcher /INSTALL
expect_started "/INSTALL gives an empty argument" "$manager_win" ""
run_launcher /Installer
expect_started "/Installer gives an empty argument" "$manager_win" ""
run_launcher
expect_started "no command line gives an empty argument" "$manager_win" ""

# A launcher path longer than the first 260-byte module path buffer.
long_parts=("$(printf 'd%.0s' $(seq 100))" "$(printf 'e%.0s' $(seq 100))" "$(printf 'f%.0s' $(seq 60))")
long_dir="$tmp/${long_parts[0]}/${long_parts[1]}/${long_parts[2]}"
# winepath cuts long paths itself, so the expected directory is put together here.
long_dir_win="$(winpath "$tmp")\\${long_parts[0]}\\${long_parts[1]}\\${long_parts[2]}"
mkdir -p "$long_dir"
cp "$dist/setuplaunch.exe" "$long_dir/"
rm -f "$record"
timeout 60 wine "$long_dir/setuplaunch.exe" /Install >/dev/null 2>&1
status=$?
expect_started "/Install from a directory longer than 260 characters keeps the whole directory" \
    "$manager_win" "\"$long_dir_win\\setup.ini\""

# A registered path without extension: the runtime's program search adds ".exe".
set_manager "${manager_win%.exe}"
run_launcher /Install
expect_started "a manager path without extension is searched with .exe" "${manager_win%.exe}" "$setup_argument"

set_manager "$(winpath "$tmp")\\missing\\ceappmgr.exe"
run_launcher /Install
expect_silent "a manager that cannot be started: silent, exit code 0"

set_manager_bytes 259
run_launcher /Install
expect_silent "a 259-byte value without terminator is used as a path: silent, exit code 0"

# --- The manager cannot be found --------------------------------------------------------
delete_key
expect_error_box "key missing: the error box, exit code 0"

set_manager "$(printf 'x%.0s' $(seq 300))"
expect_error_box "value longer than 260 bytes: the error box, exit code 0"

set_manager_bytes 260
expect_error_box "260-byte value without terminator: the error box, exit code 0"

delete_key
timeout 60 wine reg add "$key" /v Path /d "$(winpath "$tmp")" /f >/dev/null 2>&1 || die "wine reg add failed"
expect_error_box "key without a default value: the error box, exit code 0"

elapsed=$(($(date +%s) - started))
if [[ $failures -gt 0 ]]; then
    say "$failures wine test(s) failed (${elapsed} s)"
    exit 1
fi
say "all wine tests passed (${elapsed} s)"
