#!/usr/bin/env bash
# Builds Kestrum with its tests and runs every test (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_BUILD_TESTS=ON
cmake --build build/test -j2
ctest --test-dir build/test --output-on-failure -j2
