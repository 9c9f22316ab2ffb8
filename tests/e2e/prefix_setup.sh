#!/usr/bin/env bash
# Setup fixture of the end-to-end cases: the Wine prefix they share (made once, then reused),
# an X server for Wine's windows, and a wineserver that stays up between cases.
#
# One run at a time owns the prefix and everything under E2E_STATE: the process that started
# this script (ctest, or scripts/demo.sh; E2E_OWNER in lib.sh) is the owner, and a lock on
# E2E_STATE/owner.lock is held for as long as it lives or until prefix_cleanup.sh releases it.
# A second run while the first still goes is refused instead of sharing the prefix and its
# wineserver; a case of a killed run that is still going finds it no longer owns the prefix and
# starts no Wine in it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

step() {
    echo "$(date +%T) $*"
}

die() {
    echo "FAIL: $*" >&2
    for log in "$E2E_STATE"/*.log; do
        [[ -s "$log" ]] && { echo "---- $log" >&2; tail -n 40 "$log" >&2; }
    done
    exit 1
}

mkdir -p "$E2E_STATE" "$E2E_WORK"
owner=$E2E_OWNER
exec 9>"$E2E_STATE/owner.lock"
if ! flock --nonblock 9; then
    echo "FAIL: $E2E_PREFIX belongs to a run that is still going" \
        "(pid $(cat "$E2E_STATE/owner" 2>/dev/null)); this run does not share it" >&2
    exit 1
fi
# The lock goes with a process that lives as long as the owner; this script lets go of it, so
# that nothing it starts (Xvfb, the wineserver) holds it too.
tail --pid="$owner" -f /dev/null >/dev/null 2>&1 </dev/null &
echo $! >"$E2E_STATE/owner.holder"
exec 9>&-
echo "$owner" >"$E2E_STATE/owner"
step "this run (pid $owner) owns $E2E_PREFIX"
# Silent Wine exits that orvane_run retried during this run.
rm -f "$E2E_STATE/wine-retries" "$E2E_STATE/display"
e2e_prefix_env
unset DISPLAY

# What an earlier run that ended without its cleanup left: its wineserver, with its own
# environment, and its X server. No other run can be using them now.
timeout 30 wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w || die "the wineserver of an earlier run did not end"

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    step "creating the prefix $WINEPREFIX"
    timeout -k 5 300 wineboot -i >"$E2E_STATE/wineboot.log" 2>&1 || die "wineboot -i failed"
else
    step "reusing the prefix $WINEPREFIX"
fi
# Let the boot's server write the registry out and end before the persistent one starts.
timeout 60 wineserver -w || die "wineserver did not end after the boot"

if [[ -f "$E2E_STATE/xvfb.pid" ]] && kill -0 "$(<"$E2E_STATE/xvfb.pid")" 2>/dev/null; then
    step "an X server of an earlier run is still up; ending it"
    kill -TERM "$(<"$E2E_STATE/xvfb.pid")"
    e2e_wait_for_exit "$(<"$E2E_STATE/xvfb.pid")" 10 || die "the earlier X server did not end"
fi
step "starting Xvfb"
rm -f "$E2E_STATE/display.fd"
# -displayfd lets Xvfb choose a free display and say which once it accepts clients.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
    3>"$E2E_STATE/display.fd" >"$E2E_STATE/xvfb.log" 2>&1 </dev/null &
echo $! >"$E2E_STATE/xvfb.pid"
for _ in $(seq 100); do
    [[ -s "$E2E_STATE/display.fd" ]] && break
    sleep 0.1
done
[[ -s "$E2E_STATE/display.fd" ]] || die "Xvfb did not start"
echo ":$(tr -dc 0-9 <"$E2E_STATE/display.fd")" >"$E2E_STATE/display"
e2e_prefix_env
step "Xvfb on $DISPLAY"

step "starting a persistent wineserver"
# A Wine program that another process started in the prefix meanwhile brings up a server of its
# own; that one is ended, and the run's own started, within three attempts.
for attempt in 1 2 3; do
    wineserver -p >"$E2E_STATE/wineserver.log" 2>&1 </dev/null && break
    ((attempt < 3)) || die "wineserver -p failed"
    step "a wineserver this run did not start is up; ending it"
    timeout 30 wineserver -k >/dev/null 2>&1
    timeout 30 wineserver -w || die "that wineserver did not end"
done

# user_reg_has KEY LINE: whether the prefix's HKCU\KEY holds LINE (a prefix kept with a setting,
# as the 32-bit set's is, needs no Wine call for it).
user_reg_has() {
    awk -v key="[${1//\\/\\\\\\\\}]" -v line="$2" '/^\[/ { in_key = index($0, key) == 1 }
        in_key && $0 ~ line { found = 1 } END { exit !found }' "$WINEPREFIX/user.reg" 2>/dev/null
}

# Without a window manager, undecorated and unmanaged windows place themselves.
for value in Decorated Managed; do
    user_reg_has 'Software\Wine\X11 Driver' "^\"$value\"=\"N\"$" && continue
    e2e_wine 60 "$E2E_STATE/reg-$value.log" "$E2E_STATE/reg-$value.err.log" \
        reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f ||
        die "setting X11 Driver $value failed"
done
# The cases run at 96 DPI; one that sets another (dialog.sh) and was killed may have left it.
if user_reg_has 'Control Panel\Desktop' '^"LogPixels"=' &&
    ! user_reg_has 'Control Panel\Desktop' '^"LogPixels"=dword:00000060$'; then
    e2e_wine 60 "$E2E_STATE/reg-dpi.log" "$E2E_STATE/reg-dpi.err.log" \
        reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f ||
        die "setting LogPixels back to 96 failed"
fi
step "prefix ready"
