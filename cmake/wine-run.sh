#!/bin/sh
# Runs a Windows executable for ctest. The caller sets WINEPREFIX and keeps a wineserver
# running (scripts/windows.sh does both), so each test starts in well under a second.
exec wine "$@"
