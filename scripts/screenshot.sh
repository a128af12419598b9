#!/usr/bin/env bash
# Starts nerio-config-demo under Xvfb, searches for its units, reads the
# bodypack and the aircraft pack with F4 as a user would, and saves a
# screenshot of each tab of the real window.
# Usage: scripts/screenshot.sh [output folder]   (default: docs)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
    demo="$2"
    out="$3"
    # Waits up to 20 s for a shown window whose title matches, and prints its id.
    wait_for_window() {
        for _ in $(seq 200); do
            xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
            sleep 0.1
        done
        echo "No window titled $1 showed up" >&2
        return 1
    }
    close_information_box() {
        wait_for_window '^Information$' >/dev/null
        xdotool key --clearmodifiers Return
        while xdotool search --onlyvisible --name '^Information$' >/dev/null; do sleep 0.1; done
    }

    "$demo" &
    demo_pid=$!
    trap 'kill "$demo_pid" 2>/dev/null || true' EXIT
    window=$(wait_for_window '^Nerio Configuration')
    xdotool windowfocus --sync "$window"
    sleep 0.5

    # The focus starts in the device list: Tab to "Search for USB Devices".
    xdotool key Tab space
    xdotool key F4
    close_information_box
    sleep 0.3
    import -window "$window" "$out/window-bodypack.png"

    # On to the tab strip, to the aircraft pack tab, back to the device list,
    # to the second unit, and read it.
    xdotool key Tab Tab Tab Tab Tab Right
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Down
    xdotool key F4
    close_information_box
    sleep 0.3
    import -window "$window" "$out/window-aircraftpack.png"
    exit 0
fi

out="${1:-docs}"
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
mkdir -p "$out"
# The C locale gives the decimal point in the battery voltage.
# A display number of its own, away from the :99 that other xvfb-run users take;
# -noreset keeps the server up between one client and the next.
LANG=C.UTF-8 LC_ALL=C.UTF-8 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1024x768x24 -noreset" \
    bash "$0" --inside-xvfb build/default/src/window/nerio-config-demo "$(realpath "$out")"
echo "Saved $out/window-bodypack.png and $out/window-aircraftpack.png"
