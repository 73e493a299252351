#!/usr/bin/env bash
# shared-mime-info accepts the map type, matches *.bsp to it, and the desktop entry offers
# Kestrum for exactly the types the file defines.
# Usage: map_type_registers.sh MIME_XML DESKTOP_ENTRY
set -euo pipefail
xml=$1 desktop=$2
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
database=$data/mime
mkdir -p "$database/packages"
cp "$xml" "$database/packages/kestrum.xml"
XDG_DATA_DIRS=$data update-mime-database "$database"
defined=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$xml")
for type in $defined; do
  [ -f "$database/$type.xml" ] || { echo "update-mime-database did not register $type"; exit 1; }
done
grep -qx "[0-9]*:$defined:\*\.bsp" "$database/globs2" || { echo "*.bsp is not matched to $defined"; exit 1; }
offered=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d')
[ "$offered" = "$defined" ] || { echo "the desktop entry offers '$offered', the file defines '$defined'"; exit 1; }
