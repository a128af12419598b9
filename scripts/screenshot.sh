#!/usr/bin/env bash
# Takes the screenshots in docs/ of the real window under Xvfb, with a window
# manager so that title bars show: nerio-config-demo after a search and a read
# of each simulated unit with F4 as a user would, its box after a read, and
# nerio-config finding no unit, then its box for F4.
# Usage: scripts/screenshot.sh [output folder]   (default: docs)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
    bin="$2"
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
    wait_until_gone() {
        while xdotool search --onlyvisible --name "$1" >/dev/null; do sleep 0.1; done
    }
    # The window with the window manager's frame and title bar.
    shoot() {
        sleep 0.5
        import -frame -window "$1" "$out/$2"
    }
    # Starts a program, waits for its window and gives it the focus; the
    # focus starts in the device list.
    start() {
        "$1" &
        program_pid=$!
        window=$(wait_for_window '^Nerio Configuration')
        xdotool windowactivate --sync "$window"
        sleep 0.5
    }
    stop() {
        kill "$program_pid"
        wait "$program_pid" 2>/dev/null || true
    }

    openbox &
    openbox_pid=$!
    program_pid=
    trap 'kill $program_pid $openbox_pid 2>/dev/null || true' EXIT
    sleep 1

    start "$bin/nerio-config-demo"
    # Tab to "Search for USB Devices" and press it; read the first unit.
    xdotool key Tab space
    xdotool key F4
    box=$(wait_for_window '^Information$')
    shoot "$box" message-box-information.png
    xdotool key Return
    wait_until_gone '^Information$'
    shoot "$window" window-bodypack.png

    # On to the tab strip, to the aircraft pack tab, back to the device list,
    # to the second unit, and read it.
    xdotool key Tab Tab Tab Tab Tab Right
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Down
    xdotool key F4
    wait_for_window '^Information$' >/dev/null
    xdotool key Return
    wait_until_gone '^Information$'
    shoot "$window" window-aircraftpack.png
    stop

    # No unit is attached to this machine.
    start "$bin/nerio-config"
    xdotool key Tab space
    shoot "$window" window-no-unit-found.png
    xdotool key F4
    box=$(wait_for_window '^Communication Error$')
    shoot "$box" message-box-communication-error.png
    xdotool key Return
    stop
    exit 0
fi

out="${1:-docs}"
bash scripts/install-deps.sh screenshot
cmake --preset default >/dev/null
cmake --build --preset default
mkdir -p "$out"
# The C locale gives the decimal point in the battery voltage.
# A display number of its own, away from the :99 that other xvfb-run users take;
# -noreset keeps the server up between one client and the next.
LANG=C.UTF-8 LC_ALL=C.UTF-8 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1024x768x24 -noreset" \
    bash "$0" --inside-xvfb "$(realpath build/default/src/window)" "$(realpath "$out")"
echo "Saved in $out: window-bodypack.png, window-aircraftpack.png, window-no-unit-found.png," \
    "message-box-information.png, message-box-communication-error.png"
