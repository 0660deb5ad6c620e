#!/usr/bin/env bash
# The desktop shell with SDL's dummy video and audio drivers: two threads, scripted
# keys from the window thread, a clean end. Run under ThreadSanitizer in the tsan preset.
set -euo pipefail
game=$1
content=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$content" "$dir"
cat > "$dir/smoke.script" <<'SCRIPT'
at 1800 char N
at 2600 key left
at 2700 key right
at 2800 char 7
at 3200 char 9
at 3400 key action
at 4300 key action
at 6000 dump FRAME
at 6500 stop
SCRIPT
sed -i "s|FRAME|$dir/frame.png|" "$dir/smoke.script"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
timeout 120 "$game" --data "$dir" --script "$dir/smoke.script" --quit-after 20000 &
first=$!
sleep 1
# A second start over the same installation finds the first and leaves at once.
second=$(timeout 20 "$game" --data "$dir" --quit-after 15000)
[[ "$second" == *"already running"* ]] || { echo "second start did not defer: $second"; exit 1; }
wait "$first"
test -s "$dir/frame.png"
echo "sdl shell ran and ended cleanly"
