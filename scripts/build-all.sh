#!/usr/bin/env bash
# Configures and builds every preset's tree (host, sanitizers, fuzzers, Windows 64-bit and
# 32-bit, the latter to keep the 32-bit struct layouts compiling, and the Linux orvane) through
# the `all` preset.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset all >/dev/null
cmake --build --preset all
