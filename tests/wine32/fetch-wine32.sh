#!/usr/bin/env bash
# Fetches Debian's 32-bit Wine (wine32:i386 and the i386 libraries it needs) and unpacks it into
# DIR/root, a tree that a guest links into its overlay (guest-wine32.sh). Nothing is installed
# on this machine: installing wine32:i386 here would make `wine` start the 32-bit loader for
# every program, which breaks 64-bit Wine where the kernel refuses i386 programs.
# A tree already unpacked for the same package set is kept, so a rebuild fetches nothing.
# Usage: fetch-wine32.sh DIR
set -euo pipefail
dir=${1:?usage: fetch-wine32.sh DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

fail() { echo "fetch-wine32: $*" >&2; exit 1; }
strip=i686-w64-mingw32-strip
for tool in apt-get dpkg dpkg-deb "$strip"; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
# Debian's Wine finds zlib1.dll nowhere on its own; the i686 build of libz-mingw-w64 serves.
zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
[ -f "$zlib" ] || fail "$zlib is missing: install libz-mingw-w64"

# apt with package lists of its own that include i386: this machine's dpkg and apt lists stay
# amd64 only. It resolves wine32:i386 as on a system with nothing installed, so that the i386
# set does not have to match the versions of this machine's amd64 packages: a mirror whose
# i386 security list is out of step with its amd64 one then still serves (the list that could
# not be read is said in one line). apt drops privileges to _apt for the download; folders it
# may write keep it quiet.
debs="$dir/debs"
apt_options=(-o Dir::State::Lists="$dir/apt/lists" -o Dir::Cache="$dir/apt/cache"
    -o Dir::Cache::archives="$debs" -o Dir::State::status="$dir/apt/status"
    -o APT::Architectures::=amd64 -o APT::Architectures::=i386)
mkdir -p "$dir/apt/lists/partial" "$dir/apt/cache" "$debs/partial"
: >"$dir/apt/status"
chmod 777 "$dir/apt/lists" "$dir/apt/lists/partial" "$debs" "$debs/partial"
apt-get "${apt_options[@]}" update -q >"$dir/apt.log" 2>&1 ||
    echo "fetch-wine32: not every package list could be read, going on with the others: $(grep -m1 '^E: ' "$dir/apt.log")"
apt-get "${apt_options[@]}" install -y -q --download-only --no-install-recommends wine32:i386 \
    >>"$dir/apt.log" 2>&1 || fail "cannot fetch wine32:i386: $(tail -n 3 "$dir/apt.log")"
ls "$debs"/wine32_*_i386.deb >/dev/null 2>&1 || fail "apt fetched no wine32 package into $debs"

# The set's names, to keep an unpacked tree while they stay the same.
set_id=$( (echo merged-usr stripped; cd "$debs" && ls ./*_i386.deb | sort) | sha1sum | cut -d' ' -f1)
if [ "$(cat "$dir/root.id" 2>/dev/null)" != "$set_id" ]; then
    rm -rf "$dir/root" "$dir/root.id"
    mkdir -p "$dir/root"
    for deb in "$debs"/*_i386.deb; do
        dpkg-deb -x "$deb" "$dir/root" || fail "cannot unpack $deb"
    done
    # Merged as this machine's /usr is (/lib is usr/lib): then usr/lib/i386-linux-gnu holds
    # every i386 library, and the guest needs one link to it.
    if [ -d "$dir/root/lib" ]; then
        cp -a "$dir/root/lib/." "$dir/root/usr/lib/" && rm -rf "$dir/root/lib" ||
            fail "cannot merge $dir/root/lib into usr/lib"
    fi
    dlls="$dir/root/usr/lib/i386-linux-gnu/wine/i386-windows"
    [ -d "$dlls" ] || fail "the unpacked set has no $dlls"
    # Debian ships these DLLs with their debugging sections (550 MB); wineboot copies each one
    # into the prefix, which then takes minutes to make and restore under TCG. Without the
    # sections (Wine's builtin mark stays) they are 205 MB.
    find "$dlls" -type f \( -name '*.dll' -o -name '*.exe' -o -name '*.drv' -o -name '*.sys' \
        -o -name '*.acm' -o -name '*.cpl' -o -name '*.ocx' -o -name '*.ax' -o -name '*.ds' \
        -o -name '*.com' \) -print0 | xargs -0 -n 32 -P 2 "$strip" --strip-debug ||
        fail "cannot strip the DLLs in $dlls"
    cp "$zlib" "$dlls/"
    echo "$set_id" >"$dir/root.id"
fi
[ -x "$dir/root/usr/lib/wine/wine" ] || fail "the unpacked set has no usr/lib/wine/wine"
echo "fetch-wine32: $dir/root ready ($(ls "$debs"/*_i386.deb | wc -l) i386 packages)"
