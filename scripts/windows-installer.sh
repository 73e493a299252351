#!/usr/bin/env bash
# Builds the Windows installer from the zip's folder and tries it under Wine: a silent
# install, the files, the Start menu entry, the "Open with Kestrum" verb and the
# uninstaller's registration, the installed kestrum-cli.exe, then a silent uninstall that
# must leave nothing behind. Checks first that both programs carry their icon, version
# block and manifest.
#
# Usage: scripts/windows-installer.sh STAGE SETUP_EXE
#   STAGE      the folder packed into the zip (Kestrum.exe, kestrum-cli.exe, README.txt, ...)
#   SETUP_EXE  the installer to write
# Needs a booted WINEPREFIX (scripts/windows.sh sets it up) and Debian's nsis.
set -euo pipefail
cd "$(dirname "$0")/.."
stage=$1 setup=$2
version=$(sed -n 's/^project(Kestrum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
fail() { printf 'windows-installer: %s\n' "$*" >&2; exit 1; }
step() { printf '  installer: %s\n' "$*"; }

step "the programs' resources"
for exe in Kestrum.exe kestrum-cli.exe; do
  resources=$(x86_64-w64-mingw32-windres -i "$stage/$exe" -J coff -O rc)
  for expected in '1 24 /* RT_MANIFEST */' '<dpiAware xmlns=' 'Microsoft.Windows.Common-Controls' \
    'Name: 128.  */' 'FILEVERSION 1, 0, 0, 1' "VALUE \"OriginalFilename\", \"${exe%.exe}."; do
    grep -qiF -- "$expected" <<<"$resources" || fail "$exe lacks: $expected"
  done
done
grep -qF 'VALUE "FileDescription", "Kestrum command line"' \
  <<<"$(x86_64-w64-mingw32-windres -i "$stage/kestrum-cli.exe" -J coff -O rc)" || fail "kestrum-cli.exe's description"

step "makensis"
makensis -V2 -WX -DVERSION="$version" -DSTAGE="$(realpath "$stage")" -DICON="$PWD/res/icons/kestrum.ico" \
  -DOUTFILE="$(realpath -m "$setup")" packaging/windows/kestrum.nsi

drive_c=$WINEPREFIX/drive_c
installed=$drive_c/Program\ Files/Kestrum
shortcut=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Kestrum.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum'
open_with_key='HKLM\Software\Classes\SystemFileAssociations\.bsp\shell\Kestrum\command'
query() { wine reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }

step "silent install"
wine "$setup" /S </dev/null || fail "the installer exited with $?"
for file in Kestrum.exe kestrum-cli.exe README.txt windows-licences.txt Uninstall.exe; do
  [ -f "$installed/$file" ] || fail "not installed: $file"
done
cmp "$installed/kestrum-cli.exe" "$stage/kestrum-cli.exe" || fail "the installed kestrum-cli.exe differs from the zip's"
[ -n "$(ls "$installed/licences")" ] || fail "the licences are missing"
[ -f "$shortcut" ] || fail "no Start menu entry"
query "$uninstall_key" /v UninstallString | grep -qF '"C:\Program Files\Kestrum\Uninstall.exe"' ||
  fail "the uninstaller is not registered"
query "$uninstall_key" /v DisplayVersion | grep -qF "$version" || fail "the registered version is not $version"
query "$open_with_key" /ve | grep -qF '"C:\Program Files\Kestrum\Kestrum.exe" "%1"' ||
  fail "no \"Open with Kestrum\" verb for .bsp"
expected_version=$(sed -n 's/.*kVersionLine = "\(.*\)";/\1/p' res/version.h)
[ "$(wine "$installed/kestrum-cli.exe" --version </dev/null | tr -d '\r')" = "$expected_version" ] ||
  fail "the installed kestrum-cli.exe --version"

step "silent uninstall"
# The uninstaller copies itself to a temporary folder and returns at once; that copy
# removes the files, so wait for them to go.
wine "$installed/Uninstall.exe" /S </dev/null || fail "the uninstaller exited with $?"
for _ in $(seq 100); do [ -e "$installed" ] || break; sleep 0.2; done
[ ! -e "$installed" ] || fail "left behind: $(ls -A "$installed")"
[ ! -e "$shortcut" ] || fail "the Start menu entry is left behind"
query "$uninstall_key" >/dev/null && fail "the uninstaller's registration is left behind"
query "${open_with_key%\\command}" >/dev/null && fail "the \"Open with Kestrum\" verb is left behind"
ls -l "$setup"
step "passed"
