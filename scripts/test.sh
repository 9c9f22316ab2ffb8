#!/usr/bin/env bash
# Every test of the project on a fresh Linux machine: installs what is missing, then the `all`
# workflow configures and builds every preset's tree and runs all their tests: unit tests on the
# host build (plain, under valgrind, and with AddressSanitizer and UndefinedBehaviorSanitizer),
# the fuzzers (corpus replay, and ORVANE_FUZZ_SECONDS each, default 60), and the real Orvane.exe
# under Wine against the printer emulator, its dialog under Xvfb included; and the Linux orvane
# over libusb against umockdev's fake kernel, with its Debian package, and against the real
# kernel in QEMU guests where USB gadgets play the printers (tests/vm; a missing QEMU or guest
# kernel fails them); and the 32-bit Orvane.exe under 32-bit Wine inside such a guest
# (tests/wine32).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --workflow --preset all
