#!/usr/bin/env bash
# What a silent simulated unit costs: wall and processor time of a
# `nerio-cli --simulate read` whose unit never answers, which waits out one
# 2000 ms reply time-out. Three runs.
# Usage: scripts/measure-silent-wait.sh [BUILD_DIR]   (build/default by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
cmake --build "$build" --target nerio-cli >/dev/null
export NERIO_SIMULATED_UNITS="bodypack:silent-from=0"
TIMEFORMAT='wall %R s, processor %U s user + %S s system'
for run in 1 2 3; do
    time "$build/src/cli/nerio-cli" --simulate read --device 0 >/dev/null 2>&1 || true
done
