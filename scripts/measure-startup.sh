#!/usr/bin/env bash
# Measures how long nerio-config-demo takes from its start until its window
# is shown, and how much memory it holds then, under Xvfb; and the same for
# startup-baseline, a bare Qt Widgets window with the same title and size, in
# the same run, taking turns, so that both meet the same machine load. Prints
# both medians and their ratio: what the tool adds to Qt's own start-up.
# Usage: scripts/measure-startup.sh [runs] [folder]   (default: 10 of each, from
# this checkout's build; a folder holding both programs measures that build)
#
# The clock starts just before the program is started and stops when the X
# server reports its window mapped with the tool's title (polled with xdotool,
# about every 5 ms). Memory is the resident set (VmRSS) one second after the
# window is shown, and its peak (VmHWM), from /proc.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
    bin="$2"
    runs="$3"
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    # Prints: program, milliseconds to the shown window, resident KiB, peak KiB.
    measure() {
        local program="$1" start shown pid rss peak
        start=$(date +%s%N)
        "$bin/$program" 2>"$log" &
        pid=$!
        until xdotool search --onlyvisible --name '^Nerio Configuration' >/dev/null 2>&1; do
            if ! kill -0 "$pid" 2>/dev/null; then
                echo "$program ended before its window was shown:" >&2
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
        echo "$program $(( (shown - start) / 1000000 )) $rss $peak"
    }
    for _ in $(seq "$runs"); do
        measure nerio-config-demo
        measure startup-baseline
    done
    exit 0
fi

runs="${1:-10}"
bin="${2:-build/default/src/window}"
bash scripts/install-deps.sh
if [ $# -lt 2 ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target nerio-config-demo startup-baseline >/dev/null
fi
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# A display number of its own, away from the :99 that other xvfb-run users take;
# -noreset keeps the server up between one client and the next.
xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1024x768x24 -noreset" \
    bash "$0" --inside-xvfb "$(realpath "$bin")" "$runs" |
    sort -k1,1 -k2,2n | awk '
        { n[$1]++; ms[$1, n[$1]] = $2; rss[$1, n[$1]] = $3; peak[$1, n[$1]] = $4 }
        function median(program) { return ms[program, int((n[program] + 1) / 2)] }
        function report(program,    middle) {
            middle = int((n[program] + 1) / 2)
            printf "%s: %d runs, start-up to window shown: median %d ms, fastest %d ms, slowest %d ms;", program, n[program], median(program), ms[program, 1], ms[program, n[program]]
            printf " resident memory when shown %d KiB (peak %d KiB), median run\n", rss[program, middle], peak[program, middle]
        }
        END {
            report("nerio-config-demo")
            report("startup-baseline")
            printf "ratio of the medians, nerio-config-demo / startup-baseline: %.2f\n", median("nerio-config-demo") / median("startup-baseline")
        }'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
