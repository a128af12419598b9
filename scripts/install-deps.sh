#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and
# only those that are missing.
# Usage: scripts/install-deps.sh [GROUP...]
#   package: also the tools that build the Debian package and check it
#   windows: also the mingw-w64 cross compiler and Wine, for scripts/run-windows-tests.sh
#   fuzz: also clang and its libFuzzer, for scripts/run-fuzzers.sh
#   screenshot: also a window manager for scripts/screenshot.sh, so that title bars show
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
for group in "$@"; do
    case "$group" in
    package)
        packages+=(dpkg-dev file lintian appstream desktop-file-utils man-db bash-completion)
        ;;
    windows)
        packages+=(g++-mingw-w64-x86-64-posix wine wine64)
        ;;
    fuzz)
        packages+=(clang libclang-rt-14-dev)
        ;;
    screenshot)
        packages+=(openbox)
        ;;
    *)
        echo "usage: $0 [package] [windows] [fuzz] [screenshot]" >&2
        exit 2
        ;;
    esac
done

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
