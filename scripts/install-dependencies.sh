#!/usr/bin/env bash
# Installs every Debian 12 package Quibrel needs to build, run and test. Does nothing when all
# of them are present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev libxlsxwriter-dev libzip-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  iproute2 util-linux sqlite3 xvfb xauth fonts-dejavu-core fonts-liberation2
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}" >&2
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
