#!/usr/bin/env bash
# Builds the release configuration and the Debian package from it:
# build/package/nerio-config_<version>_<architecture>.deb.
# Usage: scripts/build-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package

# Debian's compiler and linker flags (hardening included), as a package built
# by Debian's own tools gets them; they count only when the cache is new.
# CMake reads no CPPFLAGS, which carry _FORTIFY_SOURCE.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake --preset release --fresh >/dev/null
cmake --build --preset release

rm -rf build/package build/release/cpack
cpack --config build/release/CPackConfig.cmake -B build/release/cpack
mkdir -p build/package
mv build/release/cpack/*.deb build/package/
ls build/package/*.deb
