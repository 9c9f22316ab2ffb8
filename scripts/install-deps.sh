#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test Orvane: the host toolchain and
# GoogleTest, Python's jsonschema (for the rows' JSON documents), clang with libFuzzer and
# nlohmann/json (the fuzzers' own reading of the JSON document), MinGW-w64 (its binutils' windmc compiles the event log's message table), Wine, Xvfb and
# ImageMagick (for screenshots);
# for the Linux orvane libusb, pkg-config, umockdev and dpkg-dev (its package's dependencies);
# for its tests against the real kernel QEMU, busybox-static, cpio, kmod, udev and usbutils
# (the guest's kernel itself is fetched by the build, never installed); for the release
# wixl and msitools (the MSIs), osslsigncode and openssl (signing), lintian, and devscripts for
# hardening-check (without the keyrings and upload tools it recommends). Nothing i386: the
# wine32 tests fetch 32-bit Wine for their guests with apt's own lists
# (tests/wine32/fetch-wine32.sh), and dpkg here never learns of i386, so wine64's
# recommendation of wine32:i386 can never be followed on this machine.
set -euo pipefail

packages=(cmake make g++ libgtest-dev python3 python3-jsonschema clang libclang-rt-14-dev valgrind
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 xvfb imagemagick
    pkg-config libusb-1.0-0-dev libumockdev-dev umockdev dpkg-dev
    nlohmann-json3-dev
    qemu-system-x86 busybox-static cpio kmod udev usbutils passwd libz-mingw-w64
    wixl msitools osslsigncode openssl lintian)
# What is installed without its recommendations.
bare_packages=(devscripts)

# missing PACKAGE...: those of the packages that are not installed.
missing() {
    local package status
    for package in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
        [ "$status" = "install ok installed" ] || echo "$package"
    done
}
mapfile -t missing < <(missing "${packages[@]}")
mapfile -t missing_bare < <(missing "${bare_packages[@]}")
if [ $((${#missing[@]} + ${#missing_bare[@]})) -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]} ${missing_bare[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
install=(env DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq)
[ ${#missing[@]} -eq 0 ] || "${install[@]}" "${missing[@]}" >/dev/null
[ ${#missing_bare[@]} -eq 0 ] || "${install[@]}" --no-install-recommends "${missing_bare[@]}" >/dev/null
