#!/usr/bin/env bash
# Configures and builds the host, sanitizer and Windows builds (64-bit, and 32-bit to keep the
# 32-bit struct layouts compiling).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in host host-asan windows windows-i686; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
