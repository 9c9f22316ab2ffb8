#!/usr/bin/env bash
# Setup fixture of the end-to-end cases: the Wine prefix they share (made once, then reused),
# an X server for Wine's windows, and a wineserver that stays up between cases.
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
rm -f "$E2E_STATE/display"
e2e_prefix_env
unset DISPLAY

# A server left by an earlier run would keep its own environment; start from none.
timeout 30 wineserver -k >/dev/null 2>&1

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
wineserver -p >"$E2E_STATE/wineserver.log" 2>&1 </dev/null || die "wineserver -p failed"

# Without a window manager, undecorated and unmanaged windows place themselves.
for value in Decorated Managed; do
    e2e_wine 60 "$E2E_STATE/reg-$value.log" "$E2E_STATE/reg-$value.err.log" \
        reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f ||
        die "setting X11 Driver $value failed"
done
step "prefix ready"
