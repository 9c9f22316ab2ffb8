#!/usr/bin/env bash
# The release: builds the windows, windows-i686 and linux trees and puts in build/release
#   Orvane-<version>-win64.zip      Orvane.exe (64-bit), README.md, orvane.schema.json, LICENSE
#   Orvane-<version>-x64.msi        the 64-bit Windows Installer package
#   Orvane-<version>-x86.msi        the 32-bit one
#   orvane_<version>_<arch>.deb     the Linux package
#   SHA256SUMS                      the sums of all of them
# Orvane.exe (before it goes into a package) and the MSIs are signed when the environment names
# a key (packaging/windows/sign.sh); without one they are unsigned, and this says so.
set -euo pipefail
cd "$(dirname "$0")/.."
sign=packaging/windows/sign.sh

for file in README.md orvane.schema.json LICENSE; do
    if [ ! -f "$file" ]; then
        echo "package: $file is missing at the top of the repository" >&2
        exit 1
    fi
done
signing=yes
"$sign" --configured || {
    [ $? -eq 1 ] || exit 1
    signing=no
}

for preset in windows windows-i686 linux; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)

# Everything is made in a fresh folder that becomes build/release only when all of it is there.
release=$PWD/build/release
next=$release.new
rm -rf "$next"
trap 'rm -rf "$next"' EXIT
mkdir -p "$next"
for build in windows:win64:x64 windows-i686:win32:x86; do
    IFS=: read -r preset system arch <<<"$build"
    stage=$next/stage/$system
    cmake --install "build/$preset" --prefix "$stage" >/dev/null
    msi=$next/Orvane-$version-$arch.msi
    [ $signing = no ] || "$sign" "$stage/Orvane.exe"
    packaging/windows/make-msi.sh "$arch" "$version" "$stage" "$msi"
    [ $signing = no ] || "$sign" "$msi"
done
(cd "$next/stage/win64" && cmake -E tar cf "$next/Orvane-$version-win64.zip" --format=zip \
    Orvane.exe README.md orvane.schema.json LICENSE)
rm -rf "$next/stage"
cpack --preset linux >/dev/null
deb=$(ls build/linux/orvane_"$version"_*.deb)
cp "$deb" "$next/"
(cd "$next" && sha256sum -- *.zip *.msi *.deb >SHA256SUMS)

rm -rf "$release"
mv "$next" "$release"
[ $signing = yes ] ||
    echo "package: no signing key given (ORVANE_SIGN_PKCS12, or ORVANE_SIGN_CERT and ORVANE_SIGN_KEY): Orvane.exe and the MSIs are unsigned"
echo "package: $release"
cat "$release/SHA256SUMS"
