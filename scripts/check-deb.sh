#!/usr/bin/env bash
# Installs the .deb into a fresh Debian 12 root, made by Debian's mmdebstrap with apt and
# nothing more, as a user would (apt, from the file, without recommended packages, so that
# the declared dependencies alone must do), and checks it there: both programs find every
# library, the dialog starts and kestrum-cli runs, the desktop entry
# validates, the map type is registered, and the icons, man page and completion are in
# place. desktop-file-utils comes in only as the checking tool.
#
# Usage: scripts/check-deb.sh build/kestrum_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")
scripts/install-deps.sh mmdebstrap
started=$SECONDS
step() { printf '  deb: %s (%ss)\n' "$*" "$((SECONDS - started))"; }
fail() { printf 'check-deb: %s\n' "$*" >&2; exit 1; }

root=$(mktemp -d /tmp/kestrum-root.XXXXXX)
trap 'rm -rf --one-file-system "$root" "$root.log"' EXIT
step "a fresh root with apt, then apt install ./$(basename "$deb")"
# The root uses the same archive as this machine. The package goes in through apt, from
# inside, as `apt install ./FILE.deb` would put it.
log=$root.log
mmdebstrap --variant=apt --quiet --dpkgopt=force-unsafe-io \
  --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
  --customize-hook="copy-in '$deb' /tmp" \
  --customize-hook="copy-in samples/demo.bsp /root" \
  --customize-hook="chroot \"\$1\" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q=2 \
      --no-install-recommends /tmp/$(basename "$deb") desktop-file-utils" \
  bookworm "$root" /etc/apt/sources.list.d/debian.sources >"$log" 2>&1 || { cat "$log"; fail "mmdebstrap failed"; }
grep -E '^Setting up kestrum ' "$log"
inside() { chroot "$root" "$@"; }
# Programs expect /proc, and bash's process substitution /dev/fd, which lives there.
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"; rm -rf --one-file-system "$root" "$root.log"' EXIT

step "the programs and their libraries"
missing=$(inside ldd /usr/bin/kestrum /usr/bin/kestrum-cli \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so | grep 'not found' || true)
[ -z "$missing" ] || fail "libraries missing in the root:"$'\n'"$missing"
expected_version=$(sed -n 's/.*kVersionLine = "\(.*\)";/\1/p' res/version.h)
version=$(inside kestrum-cli --version)
echo "    kestrum-cli --version: $version"
[ "$version" = "$expected_version" ] || fail "kestrum-cli --version printed \"$version\""
inside kestrum-cli search /root/demo.bsp monster_dog | grep -q '"monster_dog"' || fail "kestrum-cli search"
# The dialog, given a map as the desktop entry gives it, on Qt's offscreen platform: still
# running after five seconds means it found its plugins and fonts and shows its window.
status=0
inside env QT_QPA_PLATFORM=offscreen timeout 5 kestrum /root/demo.bsp >"$root.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$root.log"; fail "kestrum ended with status $status within five seconds"; }

step "desktop entry, map type, icons, man page, completion"
validation=$(inside desktop-file-validate /usr/share/applications/kestrum.desktop 2>&1) ||
  fail "desktop-file-validate:"$'\n'"$validation"
[ -z "$validation" ] || fail "desktop-file-validate:"$'\n'"$validation"
grep -qx 'Exec=kestrum %f' "$root/usr/share/applications/kestrum.desktop" || fail "Exec does not pass the map"
# shared-mime-info's trigger has compiled the type into the database.
grep -q ':application/x-bsp-map:\*\.bsp$' "$root/usr/share/mime/globs2" || fail "*.bsp is not registered"
[ -f "$root/usr/share/mime/application/x-bsp-map.xml" ] || fail "the map type is not in the database"
for size in 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/kestrum.png
  # A PNG's width and height are the big-endian words at offsets 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  [ "$width $height" = "$size $size" ] || fail "the $size px icon is ${width}x$height"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/kestrum.svg" ] || fail "no scalable icon"
zcat "$root/usr/share/man/man1/kestrum-cli.1.gz" | grep -q '^\.TH KESTRUM-CLI 1' || fail "no man page"
offered=$(inside bash -c 'source /usr/share/bash-completion/completions/kestrum-cli
  COMP_WORDS=(kestrum-cli l); COMP_CWORD=1; _kestrum_cli; echo "${COMPREPLY[*]}"')
[ "$offered" = "locate list" ] || fail "the completion offers \"$offered\" for l"
step "passed"
