#!/bin/bash
# The guest's second stage and process 1, run by the initramfs in the overlay over this
# machine's root: the
# kernel's file systems, the USB modules (dummy_hcd with its gadget functions, usblp, cdc_acm),
# udevd when asked, the extra packages, then the job's command in its folder. Its exit code ends
# the console log as "orvane-vm: exit <code>". The job is RESULTS/.orvane-vm/job, a file of
# shell assignments that the launcher wrote. The guest powers off at the end.
# Usage: guest-stage2.sh RESULTS
set -u
results=$1
finish() {
    echo "orvane-vm: exit $1"
    sync
    busybox poweroff -f
}
job="$results/.orvane-vm/job"
# shellcheck source=/dev/null
. "$job" || { echo "orvane-vm: no job at $job"; finish 125; }

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
# /tmp, /run and /dev/shm are the initramfs's fresh ones, with the job's folders kept in them.
mkdir -p /dev/pts
mount -t devpts devpts /dev/pts
ln -sf /proc/self/fd /dev/fd
hostname orvane-vm
echo "orvane-vm: stage 2 at $(cut -d' ' -f1 /proc/uptime) s"

export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
export ORVANE_VM=1 ORVANE_VM_RESULTS="$results"
for assignment in "${job_env[@]}"; do
    export "${assignment?}"
done

step() { # step WHAT COMMAND...: runs it, and on failure says so and ends the guest
    "${@:2}" || { echo "orvane-vm: $1 failed"; finish 125; }
}
step "modprobe dummy_hcd" modprobe dummy_hcd "num=$job_dummy_hcd"
for module in libcomposite usb_f_acm usb_f_printer usb_f_fs usblp cdc_acm "${job_modules[@]}"; do
    step "modprobe $module" modprobe $module
done

mount -t configfs configfs /sys/kernel/config
echo "orvane-vm: modules loaded at $(cut -d' ' -f1 /proc/uptime) s"

if [ "$job_udevd" = 1 ]; then
    step "udevd" /lib/systemd/systemd-udevd --daemon
    # The USB devices there before udevd; the whole of sysfs would take seconds under TCG.
    udevadm trigger --action=add --subsystem-match=usb
    udevadm settle --timeout=30
fi

for deb in "${job_unpack[@]}"; do
    step "unpacking $deb" dpkg-deb -x "$deb" /
done
if [ ${#job_install[@]} -gt 0 ]; then
    # man-db's trigger would rebuild the whole manual index for the package's page, over a
    # minute under TCG; nobody reads manuals in the guest, and its overlay forgets the change.
    rm -f /var/lib/man-db/auto-update
    step "installing ${job_install[*]}" dpkg -i --force-depends "${job_install[@]}" >/dev/null
fi

echo "orvane-vm: ready in $(cut -d' ' -f1 /proc/uptime) s"
cd "$job_cwd" || finish 125
bash "$results/.orvane-vm/command"
finish $?
