#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz (the fuzz preset, clang) and
# runs each for SECONDS seconds, one after another, starting from its committed
# corpus. Inputs that reach new code collect in build/fuzz/corpus/<harness>;
# a finding (crash, broken property, leak, time-out) is saved in
# build/fuzz/findings/<harness>/ and makes the script fail. Keep a mended
# finding in tests/fuzz/corpus/<harness>/ so that the test suite replays it.
# Usage: scripts/run-fuzzers.sh [SECONDS]   (60 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for harness in parameterfiles exchange cli; do
    corpus="build/fuzz/corpus/$harness"
    findings="build/fuzz/findings/$harness"
    log="build/fuzz/$harness.log"
    mkdir -p "$corpus" "$findings"
    echo "== $harness, $seconds s"
    # An input gets 10 s: a reply wait costs no real time, so any input
    # that takes that long hangs.
    if ! "build/fuzz/tests/fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$harness" >"$log" 2>&1; then
        status=1
        echo "FINDING in $harness (full log: $log):"
        grep -E -A30 '^==[0-9]+==|Property broken|ALARM|SUMMARY' "$log" | head -60
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb|^Done' "$log" || tail -5 "$log"
done
exit "$status"
