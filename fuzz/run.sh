#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan), writes the seed corpora
# and runs each target for SECONDS (default 60). Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh clang libclang-rt-14-dev
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
  -DKESTRUM_BUILD_FUZZ=ON -DKESTRUM_BUILD_TESTS=OFF -DKESTRUM_BUILD_SHELL=OFF >/dev/null
cmake --build build/fuzz -j2 --target locator_fuzz export_fuzz search_fuzz rewrite_fuzz make_seeds
corpus=build/fuzz/corpus
build/fuzz/fuzz/make_seeds "$corpus"
for target in locator export search rewrite; do
  echo "== $target: ${seconds} s"
  build/fuzz/fuzz/${target}_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/${target}-" "$corpus/$target" 2>&1 | grep -E 'stat::number_of_executed_units|Done|ERROR|SUMMARY|crash-|leak-'
done
