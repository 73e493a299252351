#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kestrum need, when
# any is missing. Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libcli11-dev libzip-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core desktop-file-utils
          librsvg2-bin groff-base shared-mime-info "$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  -o DPkg::Lock::Timeout=600 "${missing[@]}"
