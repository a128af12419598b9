#!/usr/bin/env bash
# Cross-builds the Windows bridge and its tests with mingw-w64 (preset
# windows-cross) and runs them under Wine against the stub bridge library.
# Prints the test runner's lines, which end in "N passed, N failed"; exits 0
# only when every test passed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross

build=build/windows-cross
# A Wine prefix of its own in the build folder, quiet, and with no offer to
# install Mono or Gecko, which would wait for an answer that never comes.
export WINEPREFIX="$PWD/$build/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Ends this prefix's Wine server, and with it anything still running there.
trap 'wineserver -k 2>/dev/null || true' EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (the first run in a build folder takes a while)"
    if ! problem=$(timeout 300 wine wineboot --init 2>&1 && timeout 120 wineserver --wait 2>&1); then
        rm -rf "$WINEPREFIX"
        echo "Wine cannot run here, so the Windows tests did not run (the cross build did):" >&2
        echo "$problem" >&2
        exit 1
    fi
fi
timeout 300 wine "$build/tests/windows/tst_dllbridge.exe" | tr -d '\r'
