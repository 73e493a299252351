#!/usr/bin/env bash
# The Windows build, made here: installs what is missing, cross-builds Kestrum.exe and
# kestrum-cli.exe with mingw-w64, runs every test under Wine on a private X display,
# checks the resources in Kestrum.exe, drives Kestrum.exe in a smoke test, checks its
# layout at two DPIs, packs build/kestrum-<version>-win64.zip and builds and tries the
# installer build/kestrum-<version>-setup.exe.
#
# Usage: scripts/windows.sh [--screenshot]   (--screenshot also updates docs/screenshot-windows.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build/win64
started=$SECONDS
say() { printf '== windows: %s (%ss)\n' "$*" "$((SECONDS - started))"; }

say "installing what is missing"
scripts/install-deps.sh g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 \
  fonts-wine xvfb xauth xdotool imagemagick locales nsis

say "fetching libzip's sources"
libzip_source=$(scripts/fetch-libzip-source.sh build/deps)

say "cross-building"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DKESTRUM_LIBZIP_SOURCE="$root/$libzip_source" >/dev/null
cmake --build "$build" -j2

# A private X display and Wine prefix, both gone at the end. Wine's helper processes
# inherit open pipes and would keep ctest waiting, so its server runs persistently
# from here, its output elsewhere, and is stopped at the end.
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
WINEPREFIX=$(mktemp -d /tmp/kestrum-wine.XXXXXX)
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
export DISPLAY=:$display
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

say "preparing Wine"
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot -i >/dev/null 2>&1 </dev/null
# Debian's Wine does not look in its own fonts folder: without these, "MS Sans Serif"
# falls back to another face and the dialog comes out at another size.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# Without a window manager Wine draws the caption itself and does not wait for one to
# acknowledge each window that closes.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null

# One test runs the dialog under a Cyrillic system; Wine takes its code page from the
# Linux locale, compiled here rather than into the machine's own.
if [ ! -e "$build/locales/ru_RU.UTF-8" ]; then
  mkdir -p "$build/locales"
  localedef -i ru_RU -f UTF-8 "$build/locales/ru_RU.UTF-8"
fi

say "running the tests under Wine"
ctest --test-dir "$build" --output-on-failure -j2

say "checking the resources of Kestrum.exe"
resources=$(x86_64-w64-mingw32-windres -i "$build/shell_win32/Kestrum.exe" -J coff -O rc)
check_resource() {
  grep -qF -- "$1" <<<"$resources" || { echo "windows: Kestrum.exe lacks: $1" >&2; exit 1; }
}
for expected in \
  'Name: 100.  */' 'Name: 102.  */' 'Name: 103.  */' 'CAPTION "Maps in the archive"' 'CAPTION "Kestrum"' 'CAPTION "A propos de Kestrum"' \
  'FONT 8, "MS Sans Serif"' 'EXSTYLE 0x40000' '101, "&A propos de Kestrum..."' \
  '"\040\040\020\000", 1, 4,' '"\020\020\020\000", 1, 4,' 'LANGUAGE 12, 4' 'LANGUAGE 12, 1' \
  'FILEVERSION 1, 0, 0, 1' 'PRODUCTVERSION 1, 0, 0, 1' 'FILEFLAGSMASK 0x3f' 'FILEOS 0x4' 'FILETYPE 0x1' \
  'BLOCK "040c04b0"' 'VALUE "FileDescription", "Application MFC Kestrum"' 'VALUE "InternalName", "Kestrum"' \
  'VALUE "OriginalFilename", "Kestrum.EXE"' 'VALUE "ProductName", "Application Kestrum"' \
  'VALUE "Comments", ""' 'VALUE "SpecialBuild", ""' 'VALUE "Translation", 0x40c, 1200'; do
  check_resource "$expected"
done
[ "$(grep -c '^ *CONTROL ' <<<"$resources")" -eq 96 ] || { echo "windows: expected 86 + 6 + 4 controls" >&2; exit 1; }

say "smoke test of Kestrum.exe"
reference=$build/demo-reference.txt
linux_cli=build/test/cli/kestrum-cli
if [ ! -x "$linux_cli" ]; then
  cmake -S . -B build/host -DKESTRUM_BUILD_SHELL=OFF -DKESTRUM_BUILD_TESTS=OFF >/dev/null
  cmake --build build/host -j2 --target kestrum-cli >/dev/null
  linux_cli=build/host/cli/kestrum-cli
fi
"$linux_cli" list samples/demo.bsp "$reference"
screenshot=$build/screenshot-windows.png
scripts/windows-smoke.sh "$build" "$reference" "$screenshot"
[ "${1:-}" = --screenshot ] && cp "$screenshot" docs/screenshot-windows.png

say "the dialog's layout at 96 and 144 DPI"
scripts/windows-dpi.sh "$build"

say "packing"
version=$(sed -n 's/^project(Kestrum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=kestrum-$version-win64
stage=$build/package/$name
rm -rf "$build/package" && mkdir -p "$stage/licences"
x86_64-w64-mingw32-strip -o "$stage/Kestrum.exe" "$build/shell_win32/Kestrum.exe"
x86_64-w64-mingw32-strip -o "$stage/kestrum-cli.exe" "$build/cli/kestrum-cli.exe"
sed 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"  # for Notepad's sake: CR LF
cp docs/windows-licences.txt "$stage/"
cp /usr/share/doc/libcli11-dev/copyright "$stage/licences/CLI11.txt"
cp "$libzip_source/LICENSE" "$stage/licences/libzip.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$stage/licences/zlib.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-runtime.txt"
(cd "$build/package" && cmake -E tar cf "$root/build/$name.zip" --format=zip "$name")
ls -l "$stage"/*.exe "build/$name.zip"

say "the installer"
scripts/windows-installer.sh "$stage" "build/kestrum-$version-setup.exe"
say "done: build/$name.zip, build/kestrum-$version-setup.exe"
