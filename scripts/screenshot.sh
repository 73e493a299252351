#!/usr/bin/env bash
# Makes docs/screenshot.png: the dialog under Xvfb after Open BSP on the sample map and
# a search, driven from the keyboard with xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb xauth xdotool imagemagick
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j2 >/dev/null
exec xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/screenshot-session.sh "$PWD/samples/demo.bsp" docs/screenshot.png
