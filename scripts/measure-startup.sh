#!/usr/bin/env bash
# Measures how long nerio-config-demo takes from its start until its window
# is shown, and how much memory it holds then, under Xvfb.
# Usage: scripts/measure-startup.sh [runs]   (default: 10)
#
# The clock starts just before the program is started and stops when the X
# server reports its window mapped with the program's title (polled with
# xdotool, about every 5 ms). Memory is the resident set (VmRSS) one second
# after the window is shown, and its peak (VmHWM), from /proc.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
    demo="$2"
    runs="$3"
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    for run in $(seq "$runs"); do
        start=$(date +%s%N)
        "$demo" 2>"$log" &
        pid=$!
        until xdotool search --onlyvisible --name '^Nerio Configuration' >/dev/null 2>&1; do
            if ! kill -0 "$pid" 2>/dev/null; then
                echo "nerio-config-demo ended before its window was shown:" >&2
                cat "$log" >&2
                exit 1
            fi
            sleep 0.005
        done
        shown=$(date +%s%N)
        sleep 1
        rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
        peak=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        echo "$(( (shown - start) / 1000000 )) $rss $peak"
    done
    exit 0
fi

runs="${1:-10}"
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
# A display number of its own, away from the :99 that other xvfb-run users take;
# -noreset keeps the server up between one client and the next.
xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1024x768x24 -noreset" bash "$0" --inside-xvfb build/default/src/window/nerio-config-demo "$runs" |
    sort -n | awk '
        { ms[NR] = $1; rss[NR] = $2; peak[NR] = $3 }
        END {
            median = ms[int((NR + 1) / 2)]
            printf "runs: %d\nstart-up to window shown: median %d ms, fastest %d ms, slowest %d ms\n", NR, median, ms[1], ms[NR]
            printf "resident memory when shown: %d KiB (peak %d KiB), median run\n", rss[int((NR + 1) / 2)], peak[int((NR + 1) / 2)]
        }'
