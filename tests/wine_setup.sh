# Shared set-up of the wine tests, sourced by them first: their reporting, a virtual X
# server on a free display, a fresh 32-bit wine prefix in the temporary folder "$tmp",
# and the clean-up of all three.

source "$(dirname "${BASH_SOURCE[0]}")/test_report.sh"
tmp=
xvfb_pid=

# Stops the wine server and the X server and removes the temporary folder.
stop_wine_and_x() {
    if [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]]; then
        timeout 20 wineserver -k >/dev/null 2>&1 || true
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [[ -n "$tmp" ]] && rm -rf "$tmp"
}

# Starts Xvfb with a screen of the given size; sets xvfb_pid and DISPLAY.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$tmp/display" ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s "$tmp/display" ]] || die "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    export DISPLAY=":$(head -n1 "$tmp/display")"
}

# Creates the wine prefix "$tmp/prefix" (no Mono or Gecko prompts, no menu entries).
make_wine_prefix() {
    export WINEPREFIX="$tmp/prefix" WINEARCH=win32 WINEDEBUG=-all
    export HOME="${HOME:-$tmp}"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    timeout 180 wine wineboot --init >"$tmp/wineboot.log" 2>&1 ||
        die "wine could not create its prefix within 180 s: $(tail -n 5 "$tmp/wineboot.log")"
}
