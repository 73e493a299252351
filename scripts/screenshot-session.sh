#!/usr/bin/env bash
# Runs inside Xvfb (see screenshot.sh). Usage: screenshot-session.sh MAP OUTPUT.png
set -euo pipefail
map=$1 output=$2
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
build/release/shell/kestrum & app=$!
trap 'kill $app 2>/dev/null || true' EXIT
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kestrum$' | head -1)
xdotool windowfocus --sync "$window"
sleep 0.5
# Focus starts on OK; the next tab stop is Open BSP.
xdotool key Tab space
chooser=
for _ in $(seq 50); do
  chooser=$(xdotool search --onlyvisible --class kestrum | grep -v "^$window$" | tail -1 || true)
  [ -n "$chooser" ] && break
  sleep 0.2
done
xdotool windowfocus --sync "$chooser"
sleep 0.5
xdotool key ctrl+a && xdotool type --delay 10 "$map" && xdotool key Return
sleep 1
xdotool windowfocus --sync "$window"
# From Open BSP: Create list, Analyse Entity, then the search box.
xdotool key Tab Tab Tab && xdotool type --delay 10 "monster_dog"
xdotool key shift+Tab space
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "wrote $output (${WIDTH}x${HEIGHT})"
