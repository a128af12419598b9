#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and
# only those that are missing.
# Usage: scripts/install-deps.sh [package]
#   package: also the tools that build the Debian package and check it.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev
    libusb-1.0-0-dev
    libumockdev-dev umockdev
    scdoc
    fonts-dejavu-core
    xvfb xauth
    imagemagick xdotool
)
if [ "${1:-}" = package ]; then
    packages+=(
        dpkg-dev file lintian
        appstream desktop-file-utils
        man-db bash-completion
    )
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
