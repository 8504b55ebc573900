#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the program need.
# Does nothing when they are all present already. Runs as root, or through sudo.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libcurl4-openssl-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig
  libfreexl-dev python3-xlwt
  openssl xauth tzdata ccache
  poppler-utils faketime
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
