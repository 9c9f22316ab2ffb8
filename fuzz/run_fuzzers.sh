#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzzer for a bounded time (default 60 s) on a copy of
# its seed corpus. Exits non-zero when any fuzzer crashes, leaks or breaks an invariant; the
# input that did it is left under build/fuzz/runs/<fuzzer>/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: fuzz/run_fuzzers.sh [seconds per fuzzer]" >&2
    exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

runs=build/fuzz/runs
status=0
for fuzzer in fuzz_command_line fuzz_device_path fuzz_registry_value; do
    dir=$runs/$fuzzer
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/artifacts"
    cp "fuzz/corpus/$fuzzer"/* "$dir/corpus/"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
    if [ -f "fuzz/dict/$fuzzer.dict" ]; then
        options+=("-dict=fuzz/dict/$fuzzer.dict")
    fi
    echo "== $fuzzer: $seconds s"
    result=0
    # The outer limit only guards against a hang that libFuzzer's own limits miss.
    timeout --kill-after=30 $((seconds + 300)) \
        "build/fuzz/fuzz/$fuzzer" "${options[@]}" "$dir/corpus" >"$dir/log" 2>&1 || result=$?
    if [ $result -ne 0 ]; then
        status=1
        echo "$fuzzer FAILED (exit $result); log: $dir/log"
        tail -n 60 "$dir/log"
        for input in "$dir"/artifacts/*; do
            [ -e "$input" ] || continue
            echo "reproduce: build/fuzz/fuzz/$fuzzer $input"
            od -A d -t x1 "$input" | head -n 20
        done
    else
        grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' "$dir/log" || true
    fi
done
exit $status
