#!/usr/bin/env bash
# Cleanup fixture of the end-to-end cases: ends the wineserver and the X server the setup
# started, waits until both have ended, and gives up the run's hold on the prefix. The prefix
# stays for the next run. A run whose setup was refused owns nothing and ends nothing.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_prefix_env

owner=$E2E_OWNER
if [[ "$(cat "$E2E_STATE/owner" 2>/dev/null)" != "$owner" ]]; then
    echo "this run (pid $owner) does not own $E2E_PREFIX; nothing to end"
    exit 0
fi

status=0
if [[ -s "$E2E_STATE/wine-retries" ]]; then
    echo "Wine ended Orvane.exe silently before it ran, and it was started again, in:"
    cat "$E2E_STATE/wine-retries"
fi

timeout 30 wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w >/dev/null 2>&1 || { echo "wineserver did not end" >&2; status=1; }

if [[ -f "$E2E_STATE/xvfb.pid" ]]; then
    pid=$(<"$E2E_STATE/xvfb.pid")
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        e2e_wait_for_exit "$pid" 5 || { echo "Xvfb did not end" >&2; status=1; }
    fi
    rm -f "$E2E_STATE/xvfb.pid" "$E2E_STATE/display" "$E2E_STATE/display.fd"
fi

# Only now may another run take the prefix.
if ((status == 0)); then
    rm -f "$E2E_STATE/owner"
    holder=$(cat "$E2E_STATE/owner.holder" 2>/dev/null)
    if [[ -n "$holder" ]] && kill -0 "$holder" 2>/dev/null; then
        kill -TERM "$holder"
        e2e_wait_for_exit "$holder" 5 || { echo "the prefix's lock holder did not end" >&2; status=1; }
    fi
    rm -f "$E2E_STATE/owner.holder"
fi
exit $status
