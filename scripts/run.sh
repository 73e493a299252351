#!/usr/bin/env bash
# Builds Kestrum and starts the dialog. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTRUM_BUILD_TESTS=OFF
cmake --build build/release -j2
exec build/release/shell/kestrum "$@"
