#!/usr/bin/env bash
# Makes what a guest boots from, in GUEST_DIR: Debian's current kernel package (the version that
# linux-image-amd64 names), fetched with apt-get download and unpacked there, never installed on
# this machine; its module index; and a small initramfs whose /init mounts this machine's root
# read-only over 9p under a tmpfs overlay and runs tests/vm/guest-stage2.sh in it.
# A kernel already unpacked is kept, so a rebuild fetches nothing.
# Usage: prepare-guest.sh GUEST_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
guest=${1:?usage: prepare-guest.sh GUEST_DIR}
mkdir -p "$guest"
guest=$(cd "$guest" && pwd)

fail() { echo "prepare-guest: $*" >&2; exit 1; }
for tool in qemu-system-x86_64 busybox cpio depmod dpkg-deb apt-get gzip; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done

package=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n1)
if [ -z "$package" ] && [ -f "$guest/kernel-package" ]; then
    package=$(cat "$guest/kernel-package") # no package lists: the cached kernel still serves
fi
[ -n "$package" ] || fail "apt-cache names no kernel for linux-image-amd64 (run apt-get update)"
version=${package#linux-image-}

kernel="$guest/kernel/$version"
if [ ! -f "$kernel/boot/vmlinuz-$version" ]; then
    download=$(mktemp -d "$guest/download.XXXXXX")
    trap 'rm -rf "$download"' EXIT
    echo "prepare-guest: fetching $package"
    # apt drops privileges to _apt for the download; a folder it may write keeps it quiet.
    chmod 777 "$download"
    (cd "$download" && apt-get download -q "$package" >/dev/null 2>"$download/apt.log") ||
        fail "cannot fetch $package: $(tail -n 3 "$download/apt.log")"
    rm -rf "$kernel"
    mkdir -p "$kernel"
    dpkg-deb -x "$download"/linux-image-*.deb "$kernel" || fail "cannot unpack $package"
    depmod -b "$kernel" "$version" || fail "depmod failed for $version"
fi
echo "$package" >"$guest/kernel-package"
ln -sfn "kernel/$version/boot/vmlinuz-$version" "$guest/vmlinuz"
ln -sfn "kernel/$version/lib/modules" "$guest/modules"

# The initramfs: busybox, the modules that reach the host's root and read the launcher's job
# (qemu_fw_cfg), and /init; made again only when what it is made of changed.
if [ -f "$guest/initrd.gz" ] && [ "$(cat "$guest/kernel-version" 2>/dev/null)" = "$version" ] &&
    [ "$guest/initrd.gz" -nt "$here/initramfs-init" ] && [ "$guest/initrd.gz" -nt "$0" ]; then
    echo "prepare-guest: $guest ready (kernel $version)"
    exit 0
fi
modules=(virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci netfs fscache
    9pnet 9pnet_virtio 9p overlay qemu_fw_cfg)
tree=$(mktemp -d "$guest/initramfs.XXXXXX")
mkdir -p "$tree"/{bin,proc,sys,dev,tmp,host,upper,newroot,modules}
cp /bin/busybox "$tree/bin/busybox"
: >"$tree/modules/order"
for module in "${modules[@]}"; do
    path=$(modinfo -b "$kernel" -k "$version" -n "$module" 2>/dev/null) ||
        fail "the kernel $version has no module $module"
    case $path in
    builtin) continue ;;
    esac
    cp "$path" "$tree/modules/"
    echo "$(basename "$path")" >>"$tree/modules/order"
done
install -m 755 "$here/initramfs-init" "$tree/init"
(cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$guest/initrd.gz.new"
mv "$guest/initrd.gz.new" "$guest/initrd.gz"
rm -rf "$tree"
echo "$version" >"$guest/kernel-version"
echo "prepare-guest: $guest ready (kernel $version)"
