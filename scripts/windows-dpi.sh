#!/usr/bin/env bash
# Starts Kestrum.exe at 96 and at 144 DPI and has kestrum-probe check that the dialog, its
# about box and each of their controls are where the templates put them, in the base units of the
# template's font at that DPI. At 144 DPI the dialog must also come out larger: its font is
# drawn at the display's size, not left at 96 DPI. Leaves the prefix at 96 DPI.
#
# Usage: scripts/windows-dpi.sh BUILD_DIR
# Needs DISPLAY and a booted WINEPREFIX (scripts/windows.sh sets up both).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
probe() { wine "$build/tests/kestrum-probe.exe" "$@" </dev/null | tr -d '\r'; }
fail() { printf 'windows-dpi: %s\n' "$*" >&2; exit 1; }
set_dpi() {  # Wine reads the DPI when its server starts
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p >/dev/null 2>&1 </dev/null
}
declare -A width
for dpi in 96 144; do
  set_dpi "$dpi"
  wine "$build/shell_win32/Kestrum.exe" >/dev/null 2>&1 </dev/null &
  app=$!
  probe wait Kestrum
  report=$(probe layout Kestrum) || fail "at $dpi DPI:"$'\n'"$report"
  printf '  dpi: %s\n' "$report"
  grep -q "^dpi $dpi " <<<"$report" || fail "Wine did not take $dpi DPI: $report"
  width[$dpi]=$(sed -n 's/^dpi .* client \([0-9]*\)x.*/\1/p' <<<"$report")
  probe syscommand Kestrum 16  # IDM_ABOUT, as the window menu sends it
  probe wait "A propos de Kestrum" owned
  report=$(probe layout "A propos de Kestrum" owned) || fail "the about box at $dpi DPI:"$'\n'"$report"
  printf '  dpi: about box: %s\n' "$report"
  probe syscommand "A propos de Kestrum" 61536 owned  # SC_CLOSE
  probe gone "A propos de Kestrum" owned
  probe syscommand Kestrum 61536
  probe gone Kestrum
  wait "$app" || fail "Kestrum.exe exited with $?"
done
[ $((width[144] * 4)) -ge $((width[96] * 5)) ] ||
  fail "at 144 DPI the dialog is ${width[144]} pixels wide, at 96 DPI ${width[96]}: it did not grow with the DPI"
set_dpi 96
