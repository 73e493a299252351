#!/usr/bin/env bash
# Builds the Release programs and packs them with their desktop integration into
# build/kestrum_<version>_amd64.deb (CPack), installable with `apt install ./FILE.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh librsvg2-bin dpkg-dev
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j2
(cd build/release && cpack -B "$PWD/../package" >/dev/null)
version=$(sed -n 's/^project(Kestrum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/kestrum_${version}_$(dpkg --print-architecture).deb
mv "build/package/$(basename "$deb")" "$deb"
rm -rf build/package/_CPack_Packages
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"
echo "package: $deb"
