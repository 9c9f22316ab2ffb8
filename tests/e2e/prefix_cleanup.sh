#!/usr/bin/env bash
# Cleanup fixture of the end-to-end cases: ends the wineserver and the X server the setup
# started. The prefix stays for the next run.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_prefix_env

status=0
timeout 30 wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w >/dev/null 2>&1 || { echo "wineserver did not end" >&2; status=1; }

if [[ -f "$E2E_STATE/xvfb.pid" ]]; then
    pid=$(<"$E2E_STATE/xvfb.pid")
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && { echo "Xvfb did not end" >&2; status=1; }
    fi
    rm -f "$E2E_STATE/xvfb.pid" "$E2E_STATE/display" "$E2E_STATE/display.fd"
fi
exit $status
