#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them. Needs about 600 MB in the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh libbenchmark-dev
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKESTRUM_BUILD_BENCH=ON -DKESTRUM_BUILD_TESTS=OFF \
  -DKESTRUM_BUILD_SHELL=OFF >/dev/null
cmake --build build/bench -j2 --target kestrum_bench kestrum-cli
exec build/bench/bench/kestrum_bench --benchmark_min_time=1 "$@"
