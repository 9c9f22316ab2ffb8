#!/usr/bin/env bash
# The timed run of one fuzzer, a CTest test of the fuzz build:
#   run_fuzzer.sh FUZZER WORK_DIR SEED_CORPUS [DICTIONARY]
# Fuzzes for ORVANE_FUZZ_SECONDS (default 60) on a copy of the seed corpus in WORK_DIR. Fails
# when the fuzzer crashes, leaks or breaks an invariant; the input that did it is left under
# WORK_DIR/artifacts/ and shown with the command that reproduces it.
set -uo pipefail

fuzzer=$1 dir=$2 seeds=$3 dict=${4:-}
seconds=${ORVANE_FUZZ_SECONDS:-60}
# The test's own CTest timeout is an hour; the run stays well inside it.
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]] || ((seconds > 3000)); then
    echo "ORVANE_FUZZ_SECONDS must be a number of seconds from 1 to 3000, not '$seconds'" >&2
    exit 2
fi

rm -rf "$dir"
mkdir -p "$dir/corpus" "$dir/artifacts"
cp "$seeds"/* "$dir/corpus/"
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
if [[ -n "$dict" ]]; then
    options+=("-dict=$dict")
fi
echo "$(basename "$fuzzer"): $seconds s, corpus and log in $dir"
status=0
# The outer limit only guards against a hang that libFuzzer's own limits miss.
timeout --kill-after=30 $((seconds + 300)) "$fuzzer" "${options[@]}" "$dir/corpus" \
    >"$dir/log" 2>&1 || status=$?
if ((status != 0)); then
    echo "FAILED (exit $status); log: $dir/log"
    tail -n 60 "$dir/log"
    for input in "$dir"/artifacts/*; do
        [[ -e "$input" ]] || continue
        echo "reproduce: $fuzzer $input"
        od -A d -t x1 "$input" | head -n 20
    done
    exit 1
fi
grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' "$dir/log"
exit 0
