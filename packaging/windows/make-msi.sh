#!/usr/bin/env bash
# Builds Orvane's MSI with wixl from a staged folder holding Orvane.exe, README.md,
# orvane.schema.json and LICENSE.
# Usage: make-msi.sh x64|x86 VERSION STAGE_DIR OUTPUT.msi
# VERSION is the version block's, a.b.c.d. Windows Installer compares only the first three
# fields of a product version, so 1.0.0.8 and 1.0.0.9 would be one version to it: the
# package's version folds the last two into its third, a.b.(c*1000+d), and 1.0.0.8 is 1.0.8.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=${1:-} version=${2:-} stage=${3:-} output=${4:-}

die() {
    echo "make-msi: $*" >&2
    exit 1
}

[[ $# -eq 4 && ($arch == x64 || $arch == x86) ]] ||
    die "usage: make-msi.sh x64|x86 VERSION STAGE_DIR OUTPUT.msi"
[[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || die "version '$version' is not a.b.c.d"
major=$((10#${BASH_REMATCH[1]})) minor=$((10#${BASH_REMATCH[2]}))
patch=$((10#${BASH_REMATCH[3]})) tweak=$((10#${BASH_REMATCH[4]}))
build=$((patch * 1000 + tweak))
((major <= 255 && minor <= 255 && tweak < 1000 && build <= 65535)) ||
    die "version $version does not fit Windows Installer's a.b.c (a, b up to 255, c*1000+d up to 65535)"
for file in Orvane.exe README.md orvane.schema.json LICENSE; do
    [[ -f "$stage/$file" ]] || die "$stage has no $file"
done

output=$(realpath -m "$output")
rm -f "$output.new"
# wixl takes the files' names relative to where it runs.
(cd "$stage" && wixl -a "$arch" -D "Version=$major.$minor.$build" -D "Arch=$arch" \
    -D Exe=Orvane.exe -D Readme=README.md -D Schema=orvane.schema.json -D Licence=LICENSE \
    -o "$output.new" "$here/Orvane.wxs") || { rm -f "$output.new"; die "wixl failed"; }
mv -f "$output.new" "$output"
