#!/usr/bin/env bash
# Installs the Debian 12 packages that building, playing and testing Tolbex need (sudo when not
# root). Does nothing when they are all there already. --package adds what scripts/package.sh needs.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libsdl2-mixer-dev timgm6mb-soundfont
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool imagemagick x11-utils fonts-dejavu-core
  desktop-file-utils appstream man-db file
)
[ "${1:-}" = "--package" ] && packages+=(lintian dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
