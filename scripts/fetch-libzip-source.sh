#!/usr/bin/env bash
# Fetches Debian's sources of libzip, for the Windows cross build, and unpacks them once
# into FOLDER; prints the unpacked folder. Debian builds no libzip for mingw-w64, but its
# source package is the same version the Linux build links, from the same archive.
# Usage: scripts/fetch-libzip-source.sh FOLDER
set -euo pipefail
folder=$1
mkdir -p "$folder"
unpacked=$(find "$folder" -maxdepth 3 -path '*/libzip-*/lib/zip.h' -print -quit)
if [ -n "$unpacked" ]; then
  dirname "$(dirname "$unpacked")"
  exit 0
fi

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
# apt-get source needs a deb-src entry for the machine's own Debian release.
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "$codename" /usr/share/keyrings/debian-archive-keyring.gpg |
    "${sudo[@]}" tee /etc/apt/sources.list.d/debian-sources.sources >/dev/null
  "${sudo[@]}" apt-get update -qq >&2
fi
(cd "$folder" && apt-get source --download-only -qq libzip >&2)
tar -xf "$folder"/libzip_*.orig.tar.xz -C "$folder"
unpacked=$(find "$folder" -maxdepth 3 -path '*/libzip-*/lib/zip.h' -print -quit)
dirname "$(dirname "$unpacked")"
