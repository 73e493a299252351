#!/usr/bin/env bash
# Drives the real Kestrum.exe under Wine as a user would, on an X display without a window
# manager: the open chooser, a search, the boxes read back, Create list through the save
# chooser, a message box, the about box from the system menu, and OK. Saves a screenshot.
#
# Usage: scripts/windows-smoke.sh BUILD_DIR REFERENCE_LIST SCREENSHOT
#   BUILD_DIR       the Windows build (Kestrum.exe and the tests' kestrum-probe.exe)
#   REFERENCE_LIST  what the Linux kestrum-cli wrote for samples/demo.bsp
#   SCREENSHOT      where the picture of the dialog after the search goes
# Needs DISPLAY and a booted WINEPREFIX (scripts/windows.sh sets up both).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 reference=$2 screenshot=$3
kestrum=$build/shell_win32/Kestrum.exe
probe() { wine "$build/tests/kestrum-probe.exe" "$@" | tr -d '\r'; }
step() { printf '  smoke: %s\n' "$*"; }
fail() { printf 'windows-smoke: %s\n' "$*" >&2; exit 1; }
expect() {  # expect WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1: got \"$2\", expected \"$3\""
}
click() {  # click TITLE CONTROL_ID
  local x y
  read -r x y < <(probe centre "$1" "$2")
  xdotool mousemove "$x" "$y" click 1
}
focus() {  # focus TITLE: the X window of that exact title
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
  xdotool windowfocus --sync "$window"
}
gone() {  # gone TITLE: waits until no visible X window has that title
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "\"$1\" did not close"
}
wait_text() {  # wait_text TITLE CONTROL_ID TEXT: a command's result shows once its message is handled
  for _ in $(seq 50); do
    [ "$(probe text "$1" "$2")" = "$3" ] && return 0
    sleep 0.1
  done
  fail "control $2 of \"$1\" never showed \"$3\""
}
windows_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp samples/demo.bsp "$work/demo.bsp"
list=$work/demo-entities.txt

step "start Kestrum.exe"
wine "$kestrum" >"$work/kestrum.log" 2>&1 &
app=$!
probe wait Kestrum
expect "client area" "$(probe client Kestrum)" "792x561"

step "Create list before any map: the message box, captioned Kestrum"
click Kestrum 1001
probe wait Kestrum owned
expect "message" "$(probe text Kestrum 65535 owned)" "No bsp file has been loaded!!"
focus Kestrum
xdotool key Return
probe gone Kestrum owned

step "Open BSP: type the map's path into the open chooser"
click Kestrum 1000
focus Open
xdotool type --delay 5 "$(windows_path "$work/demo.bsp")"
xdotool key Return
gone Open

step "Analyse Entity with monster_dog typed into the search box"
click Kestrum 1003
xdotool type --delay 5 monster_dog
click Kestrum 1002
wait_text Kestrum 1005 classname
expect "value 1" "$(probe text Kestrum 1006)" "monster_dog"
expect "key 3" "$(probe text Kestrum 1009)" "spawnflags"
expect "value 3" "$(probe text Kestrum 1010)" "768"
expect "flag 10 (Easy)" "$(probe text Kestrum 1075)" "256"
expect "flag 11 (Medium)" "$(probe text Kestrum 1076)" "512"
expect "flag 1" "$(probe text Kestrum 1066)" ""

step "screenshot of the dialog"
read -r x y w h < <(probe window Kestrum)
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$screenshot"

step "Create list: name a new list in the save chooser"
click Kestrum 1001
focus "Save As"
xdotool type --delay 5 "$(windows_path "$work")\\demo-entities.txt"
xdotool key Return
gone "Save As"
for _ in $(seq 50); do [ -s "$list" ] && break; sleep 0.1; done
cmp "$list" "$reference" || fail "the list differs from the Linux kestrum-cli's"

step "the about box from the system menu: Alt+Space, Up to its last entry, Enter"
focus Kestrum
xdotool key alt+space
sleep 0.3
xdotool key Up Return
probe wait "A propos de Kestrum" owned
expect "about box" "$(probe client "A propos de Kestrum" owned)" "315x120"
focus "A propos de Kestrum"
xdotool key Return
probe gone "A propos de Kestrum" owned

step "OK ends the program"
click Kestrum 1
probe gone Kestrum
wait "$app" || fail "Kestrum.exe exited with $?"
step "passed"
