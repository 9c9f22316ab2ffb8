#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root (dpkg -x) and checks it from there: orvane
# runs and answers VERSION and HELP, the udev rule is in place, the package depends on libusb,
# the binary needs nothing beyond libusb and the C and C++ runtimes, the manual page and the
# changelog are there, the binary is hardened, and lintian finds no error, no warning and no
# hardening tag.
# Usage: CheckDebianPackage.sh <package file> <version>
set -euo pipefail
deb=$1
version=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -f "$deb" ] || fail "no package $deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
orvane=$root/usr/bin/orvane
[ -x "$orvane" ] || fail "no executable /usr/bin/orvane in the package"

out=$("$orvane" VERSION) || fail "VERSION exited with $?"
[ "$out" = "orvane $version" ] || fail "VERSION printed '$out'"

expected_help=$(printf '%s\n' \
    'Command line switches' \
    $'HELP\t\tThis message' \
    $'NATIVE\t\tPut the printer into Native USB mode' \
    $'PRINTERCLASS\tPut the printer into Printer Class USB mode' \
    $'COMMCLASS\tPut the printer into Comm Class USB mode' \
    $'MODE\t\tDisplay the current USB mode setting' \
    $'LIST\t\tList the attached printers: number, ID, mode and port' \
    $'PRINTER=<n|ID>\tWork on this printer: a LIST number, its ID or its serial number' \
    $'VERSION\t\tDisplay the program\'s version' \
    $'TRACE\t\tEcho the diagnostic trace on the standard error stream')
out=$("$orvane" HELP) || fail "HELP exited with $?"
[ "$out" = "$expected_help" ] || fail "HELP printed:
$out"

rule=$root/usr/lib/udev/rules.d/60-orvane.rules
[ -f "$rule" ] || fail "no udev rule at /usr/lib/udev/rules.d/60-orvane.rules"
rule_text=$(grep -v '^#' "$rule")
for part in 'ATTR{idVendor}=="6b1f"' 'TAG+="uaccess"' 'GROUP="plugdev"' 'MODE="0660"'; do
    [[ $rule_text == *"$part"* ]] || fail "the udev rule lacks $part"
done

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libusb-1.0-0* ]] || fail "Depends does not name libusb-1.0-0: $depends"

# The dynamic loader is named when position-independent code asks it for thread-local storage
# (the system log's thread); it is libc6's, like libc itself.
allowed=" libusb-1.0.so.0 libstdc++.so.6 libgcc_s.so.1 libm.so.6 libc.so.6 ld-linux-x86-64.so.2 "
needed=$(readelf -d "$orvane" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | tr '\n' ' ')
for library in $needed; do
    [[ $allowed == *" $library "* ]] || fail "orvane needs $library"
done
[[ " $needed " == *" libusb-1.0.so.0 "* ]] || fail "orvane does not link libusb-1.0 dynamically"

for doc in usr/share/man/man1/orvane.1.gz usr/share/doc/orvane/changelog.gz; do
    gzip -t "$root/$doc" 2>/dev/null || fail "no gzip-compressed /$doc in the package"
done
cmp -s "$root/usr/share/doc/orvane/orvane.schema.json" "$(dirname "$0")/../../orvane.schema.json" ||
    fail "no /usr/share/doc/orvane/orvane.schema.json, the repository's, in the package"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ $maintainer =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer is no name with an address: $maintainer"

# Debian's hardening as its checker reads it (PIE, stack protector, fortified functions, RELRO,
# immediate binding), and a stack that is not executable. Its control-flow line is left out:
# Debian 12's C start files carry no IBT or SHSTK note, so no binary linked with them has one.
command -v hardening-check >/dev/null || fail "hardening-check (devscripts) is not installed"
hardening=$(hardening-check --nocfprotection "$orvane") || fail "hardening-check reports:
$hardening"
[[ $(readelf -lW "$orvane" | awk '$1 == "GNU_STACK" { print $7 }') == RW ]] ||
    fail "orvane's stack is executable, or has no GNU_STACK header"
# Stack clash protection, which hardening-check finds only in loops over variable frames: no
# function moves the stack pointer by a page or more without touching the page it reaches.
unprobed=$(objdump -d --no-show-raw-insn "$orvane" | awk '
    grows && !/orq +\$0x0,\(%rsp\)/ { n++ }
    { grows = /sub +\$0x[1-9a-f][0-9a-f][0-9a-f][0-9a-f]+,%rsp$/ } END { print n + 0 }')
((unprobed == 0)) || fail "$unprobed stack frames of a page or more are not probed"

command -v lintian >/dev/null || fail "lintian is not installed"
findings=$(lintian --tag-display-limit 0 --display-info "$deb" 2>&1 |
    grep -E '^[EW]: |^I: [^ ]+ hardening-' || true)
[ -z "$findings" ] || fail "lintian reports:
$findings"

echo "package check passed: $(basename "$deb")"
