#!/usr/bin/env bash
# A real engine judges kestrum-cli import: OpenArena's dedicated server (ioquake3) loads
# maps whose entity lump Kestrum wrote, headless and without a network.
#   1. Every map of the OpenArena package, exported and imported unchanged, is byte for
#      byte the map it was; the export of the archive member equals that of the file.
#   2. One map, imported unchanged, loads with the same number of item types.
#   3. The same map with every weapon_* and ammo_* entity removed through JSON Lines and
#      jq loads with fewer.
#   4. A lump with a brace removed is refused by import, and the engine, given that lump
#      all the same, fails on it.
# Installs what it needs when missing (scripts/install-deps.sh), builds kestrum-cli when
# KESTRUM_CLI names none and build/test has none. Prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

scripts/install-deps.sh openarena-server jq unzip
cli=${KESTRUM_CLI:-$PWD/build/test/cli/kestrum-cli}
if [ ! -x "$cli" ]; then
  cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_BUILD_TESTS=ON >/dev/null
  cmake --build build/test -j2 --target kestrum-cli >/dev/null
fi

base=/usr/lib/openarena-server
engine=/usr/lib/ioquake3/ioq3ded
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
home=$work/home
mkdir -p "$home/baseoa/maps"

fail() {
  echo "engine-check: $*" >&2
  exit 1
}

echo "== Every map of the package: export, import unchanged, compare"
maps=0
for archive in "$base"/baseoa/*.pk3 "$base"/missionpack/*.pk3; do
  while IFS= read -r member; do
    [ -n "$member" ] || continue
    unzip -p "$archive" "$member" >"$work/map.bsp"
    cp "$work/map.bsp" "$work/original.bsp"
    "$cli" export "$work/map.bsp" "$work/map.ent"
    "$cli" export "$archive:$member" "$work/member.ent"
    cmp -s "$work/map.ent" "$work/member.ent" || fail "$archive:$member: the member's export differs from the file's"
    "$cli" import "$work/map.bsp" "$work/map.ent" --no-backup >/dev/null
    cmp -s "$work/map.bsp" "$work/original.bsp" || fail "$archive:$member: export then import changed the map"
    maps=$((maps + 1))
  done < <(unzip -Z1 "$archive" 2>/dev/null | grep -i '^maps/.*\.bsp$' || true)
done
[ "$maps" -gt 0 ] || fail "no maps found in $base"
echo "$maps maps byte-identical after export and import"

# Loads maps/NAME.bsp from the home path and prints the server's log; +quit ends the
# server once the map has loaded or failed.
load() {
  HOME=$home timeout 120 "$engine" +set com_basegame baseoa +set fs_basepath "$base" +set fs_homepath "$home" \
    +set net_enabled 0 +set com_legacyprotocol 71 +set com_protocol 71 +map "$1" +quit 2>&1 || true
}

# The number N of "N items registered" when maps/NAME.bsp loads; fails when it does not.
items() {
  local log count
  log=$(load "$1")
  count=$(sed -n 's/^\([0-9][0-9]*\) items registered.*/\1/p' <<<"$log" | tail -n 1)
  [ -n "$count" ] || { echo "$log" >&2; fail "$1 did not load"; }
  echo "$count"
}

unzip -p "$base/baseoa/pak1-maps.pk3" maps/aggressor.bsp >"$work/aggressor.bsp"
cp "$work/aggressor.bsp" "$home/baseoa/maps/kt_original.bsp"
original=$(items kt_original)
echo "== aggressor as shipped: $original items registered"

"$cli" export "$work/aggressor.bsp" "$work/aggressor.ent"
"$cli" import "$work/aggressor.bsp" "$work/aggressor.ent" -o "$home/baseoa/maps/kt_same.bsp" >/dev/null
cmp -s "$home/baseoa/maps/kt_same.bsp" "$work/aggressor.bsp" || fail "the unchanged import is not byte-identical"
same=$(items kt_same)
echo "== imported unchanged: $same items registered"
[ "$same" -eq "$original" ] || fail "the unchanged map registers $same items, not $original"

"$cli" entities "$work/aggressor.bsp" |
  jq -c 'select(any(.pairs[]; .[0] == "classname" and (.[1] | test("^(weapon|ammo)_"))) | not)' |
  "$cli" import "$work/aggressor.bsp" - -o "$home/baseoa/maps/kt_fewer.bsp" >/dev/null
fewer=$(items kt_fewer)
echo "== without weapon_* and ammo_* (JSON Lines through jq): $fewer items registered"
[ "$fewer" -lt "$original" ] || fail "removing weapons and ammunition left $fewer items of $original"

# The second entity's opening brace, which stands alone on its line, taken away.
brace=$(grep -n -x '{' "$work/aggressor.ent" | sed -n '2s/:.*//p')
sed "${brace}d" "$work/aggressor.ent" >"$work/broken.ent"
if "$cli" import "$work/aggressor.bsp" "$work/broken.ent" -o "$work/refused.bsp" 2>"$work/refusal.txt"; then
  fail "import took a lump with a brace removed"
fi
[ ! -e "$work/refused.bsp" ] || fail "a refused import left a map behind"
echo "== import refuses it: $(cat "$work/refusal.txt")"
# The engine gets the broken lump anyway: the brace's byte in the map turned into a space.
lump=$("$cli" locate "$work/aggressor.bsp")
at=$(($(head -n $((brace - 1)) "$work/aggressor.ent" | wc -c) + lump))
[ "$(dd if="$work/aggressor.bsp" bs=1 skip="$at" count=1 status=none)" = '{' ] || fail "no brace at byte $at"
cp "$work/aggressor.bsp" "$home/baseoa/maps/kt_broken.bsp"
printf ' ' | dd of="$home/baseoa/maps/kt_broken.bsp" bs=1 seek="$at" conv=notrunc status=none
log=$(load kt_broken)
error=$(grep -m1 'ERROR: G_ParseSpawnVars' <<<"$log" || true)
[ -n "$error" ] || { echo "$log" >&2; fail "the engine loaded a lump with a brace removed"; }
echo "== the engine on the same lump: $error"

echo "engine-check: passed in $((SECONDS - started)) s"
