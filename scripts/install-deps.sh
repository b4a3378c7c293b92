#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  zlib1g-dev libdeflate-dev libgtest-dev gzip pigz
  fonts-dejavu-core
  fd-find findutils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
run_root=()
[ "$(id -u)" -ne 0 ] && run_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${run_root[@]}" apt-get update -qq
"${run_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" < /dev/null
