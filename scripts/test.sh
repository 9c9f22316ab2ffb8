#!/usr/bin/env bash
# Every test of the project on a fresh Linux machine: unit tests on the host build (plain, and
# with AddressSanitizer and UndefinedBehaviorSanitizer, and under valgrind), the fuzzers for a
# bounded time, and the real Orvane.exe under Wine against the printer emulator, its dialog
# under Xvfb included.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${ORVANE_FUZZ_SECONDS:-60}

scripts/install-deps.sh
scripts/build-all.sh

ctest --preset host
ctest --preset host-asan
ctest --preset windows
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ORVANE_FUZZ_SECONDS=$fuzz_seconds ctest --preset fuzz
echo "all tests passed"
