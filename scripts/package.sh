#!/usr/bin/env bash
# The package step: builds Orvane.exe for 64-bit Windows, packs it with README.md and LICENSE
# into Orvane-<version>-win64.zip, and prints the archive's path and contents.
set -euo pipefail
cd "$(dirname "$0")/.."

for file in README.md LICENSE; do
    if [ ! -f "$file" ]; then
        echo "package: $file is missing at the top of the repository" >&2
        exit 1
    fi
done

cmake --preset windows >/dev/null
cmake --build --preset windows
cpack --preset windows

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=$PWD/build/windows/Orvane-$version-win64.zip
if [ ! -f "$zip" ]; then
    echo "package: $zip was not made" >&2
    exit 1
fi
echo "package: $zip"
if command -v unzip >/dev/null; then
    unzip -l "$zip"
else
    cmake -E tar tvf "$zip"
fi
