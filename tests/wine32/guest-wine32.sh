#!/usr/bin/env bash
# Runs inside a guest (tests/vm/orvane-vm): links the unpacked 32-bit Wine (fetch-wine32.sh)
# into the guest's overlay, then either makes the 32-bit prefix and keeps it as a tarball, or
# restores that prefix and runs end-to-end cases from tests/e2e with the 32-bit Orvane.exe and
# tools. Every case runs; the exit code is 0 only when all of them passed.
# Its environment (the launcher's --env, tests/wine32/CMakeLists.txt) holds WINE32_ROOT,
# WINE32_PREFIX_TAR, WINE32_PREFIX_RECIPE and the E2E_* variables of the cases.
# Usage: guest-wine32.sh prefix
#        guest-wine32.sh cases GROUP.CASE...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=${1:?usage: guest-wine32.sh prefix|cases GROUP.CASE...}
shift
# The prefix tarball is written to the results folder, the only one the guest shares back.
[ "${ORVANE_VM:-}" = 1 ] || { echo "guest-wine32: runs only inside a guest (tests/vm/orvane-vm)" >&2; exit 2; }
# Each case's folder is kept there too.
export E2E_WORK=$ORVANE_VM_RESULTS/work

uptime_s() { cut -d' ' -f1 /proc/uptime; }
die() { echo "guest-wine32: $*" >&2; exit 1; }

# link_into SRC DST: what SRC holds appears under DST. A missing entry becomes one symbolic link
# to SRC's (a whole folder at once, such as usr/lib/i386-linux-gnu); a folder both have is
# entered; a file this machine already has stays this machine's.
link_into() {
    local entry name
    for entry in "$1"/* "$1"/.[!.]*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        name=${entry##*/}
        if [ ! -e "$2/$name" ] && [ ! -L "$2/$name" ]; then
            ln -s "$entry" "$2/$name" || return 1
        elif [ -d "$entry" ] && [ ! -L "$entry" ] && [ -d "$2/$name" ]; then
            link_into "$entry" "$2/$name" || return 1
        fi
    done
}

[ -x "$WINE32_ROOT/usr/lib/wine/wine" ] ||
    die "no 32-bit Wine in $WINE32_ROOT (made by the fixture wine32.fetch: tests/wine32/fetch-wine32.sh)"
# Its programs and libraries (merged into usr/lib by fetch-wine32.sh, as /lib is usr/lib here);
# its copies of shared data in usr/share are this machine's already.
for part in usr/lib etc; do
    link_into "$WINE32_ROOT/$part" "/$part" || die "cannot link $WINE32_ROOT/$part into the guest's /$part"
done
file -L /usr/lib/wine/wine | grep -q 'ELF 32-bit' || die "/usr/lib/wine/wine is no 32-bit program"
echo "guest-wine32: links made at $(uptime_s) s"
# The i386 loader looks in /usr/lib/i386-linux-gnu only through ld.so.cache, which this machine
# built without it: Wine's dlopen of libX11 (its X11 driver) and FreeType would fail. Every
# process here gets the folder on its search path instead of a new cache (ldconfig over 9p takes
# up to a minute); 64-bit programs pass over its libraries.
lib32=/usr/lib/i386-linux-gnu
export LD_LIBRARY_PATH=$lib32
# What Wine opens by name: without them there are no windows, or no text in them.
for library in libX11.so.6 libXext.so.6 libfreetype.so.6 libfontconfig.so.1; do
    [ -e "$lib32/$library" ] || die "there is no 32-bit $library in $lib32"
    out=$(/lib/ld-linux.so.2 --list "$lib32/$library" 2>&1) || die "the 32-bit $library does not load: $out"
    case $out in *"not found"*) die "the 32-bit $library does not load: $out" ;; esac
done
echo "guest-wine32: 32-bit Wine linked in at $(uptime_s) s"

export WINEARCH=win32 E2E_WINEARCH=win32 WINEPREFIX="$E2E_PREFIX" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

case $action in
prefix)
    start=$(uptime_s)
    rm -rf "$E2E_PREFIX"
    # Wine loads zlib1.dll (for user32) as a native DLL: it has to be in system32 from the start.
    mkdir -p "$E2E_PREFIX/drive_c/windows/system32"
    cp "$WINE32_ROOT/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" \
        "$E2E_PREFIX/drive_c/windows/system32/" || die "cannot place zlib1.dll"
    timeout -k 5 600 wineboot -i >"$ORVANE_VM_RESULTS/wineboot.log" 2>&1 ||
        die "wineboot -i failed (log: $ORVANE_VM_RESULTS/wineboot.log)"
    # Wine's own processes (services, the desktop) end after wineboot; under TCG on a loaded
    # machine that took more than a minute once.
    timeout 180 wineserver -w || die "wineserver did not end after the boot"
    [ -f "$E2E_PREFIX/system.reg" ] || die "wineboot made no $E2E_PREFIX/system.reg"
    grep -q '^#arch=win32' "$E2E_PREFIX/system.reg" || die "$E2E_PREFIX is not a 32-bit prefix"
    # The X11 driver's settings of the cases (tests/e2e/prefix_setup.sh) are kept with the
    # prefix, which spares each guest two Wine calls.
    for value in Decorated Managed; do
        timeout -k 5 90 wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f \
            >>"$ORVANE_VM_RESULTS/reg.log" 2>&1 ||
            die "setting X11 Driver $value failed (log: $ORVANE_VM_RESULTS/reg.log)"
    done
    timeout 180 wineserver -w || die "wineserver did not end after the X11 driver's settings"
    echo "guest-wine32: 32-bit prefix made in $(echo "$(uptime_s) - $start" | bc) s"
    tar -C "$(dirname "$E2E_PREFIX")" -cf "$WINE32_PREFIX_TAR.new" "$(basename "$E2E_PREFIX")" ||
        die "cannot keep the prefix in $WINE32_PREFIX_TAR"
    mv "$WINE32_PREFIX_TAR.new" "$WINE32_PREFIX_TAR"
    # Which Wine set made it, and how: the fixture makes it again only when either changes.
    { cat "$WINE32_ROOT/../root.id" && echo "$WINE32_PREFIX_RECIPE"; } >"$WINE32_PREFIX_TAR.id" ||
        die "cannot note the prefix's Wine set"
    ;;
cases)
    [ $# -gt 0 ] || die "no cases named"
    [ -f "$WINE32_PREFIX_TAR" ] || die "no 32-bit prefix at $WINE32_PREFIX_TAR (made by the fixture wine32.prefix)"
    rm -rf "$E2E_PREFIX"
    mkdir -p "$(dirname "$E2E_PREFIX")"
    tar -C "$(dirname "$E2E_PREFIX")" -xf "$WINE32_PREFIX_TAR" || die "cannot restore the prefix"
    echo "guest-wine32: prefix restored at $(uptime_s) s"
    bash "$here/../e2e/prefix_setup.sh" || die "the e2e prefix setup failed"
    echo "guest-wine32: Xvfb and wineserver up at $(uptime_s) s"
    # Wine's session starts with the first program; do it here, so that no case's bound pays it.
    timeout "$E2E_WINE_BOUND_S" wine cmd /c exit >/dev/null 2>&1 ||
        die "the first Wine program did not end within $E2E_WINE_BOUND_S s"
    echo "guest-wine32: Wine's session up at $(uptime_s) s"
    failed=()
    for case_name in "$@"; do
        start=$(uptime_s)
        runner=("$here/../e2e/run_case.sh" "${case_name%%.*}" "${case_name#*.}")
        [ "${case_name%%.*}" = row ] && runner=("$here/../e2e/run_row.sh" "${case_name#row.}")
        if bash "${runner[@]}"; then
            echo "guest-wine32: passed $case_name in $(echo "$(uptime_s) - $start" | bc) s"
        else
            echo "guest-wine32: FAILED $case_name in $(echo "$(uptime_s) - $start" | bc) s"
            failed+=("$case_name")
        fi
    done
    bash "$here/../e2e/prefix_cleanup.sh" || failed+=("prefix cleanup")
    if [ ${#failed[@]} -gt 0 ]; then
        echo "guest-wine32: ${#failed[@]} of $# failed: ${failed[*]}"
        exit 1
    fi
    echo "guest-wine32: all $# passed"
    ;;
*) die "unknown action $action" ;;
esac
