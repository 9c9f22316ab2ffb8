#!/usr/bin/env bash
# The main job on a fresh Linux machine: builds Orvane.exe and runs it under Wine against the
# printer emulator. The printer starts in native mode; Orvane reports the mode, switches the
# printer to comm class mode (showing its virtual port), and back to native mode.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

build=$PWD/build/windows
work=$build/demo
mkdir -p "$work"
export WINEPREFIX=$build/demo-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "(creating a Wine prefix: once, about a minute)"
    timeout 300 wineboot -i >"$work/wineboot.log" 2>&1
fi
timeout 60 wineserver -p >/dev/null 2>&1 || true

emulator=$build/tools/printer-emulator/PrinterEmulator.exe
log=$work/emulator.log
rm -f "$log"
stop_emulator() {
    timeout 30 wine "$emulator" --stop >/dev/null 2>&1 || true
    timeout 30 wineserver -k >/dev/null 2>&1 || true
}
trap stop_emulator EXIT

# Wine's output goes to files: its background processes would hold a pipe open.
timeout 600 wine "$emulator" --mode native --restart-ms 3000 --log "$(winepath -w "$log" 2>/dev/null)" \
    >"$work/emulator.out" 2>&1 &
for _ in $(seq 200); do
    grep -q " ready" "$log" 2>/dev/null && break
    sleep 0.1
done
grep -q " ready" "$log" || { echo "the printer emulator did not start"; cat "$work/emulator.out"; exit 1; }

orvane() {
    echo "> Orvane.exe $*"
    local status=0
    timeout 180 wine "$build/Orvane.exe" "$@" >"$work/orvane.out" 2>&1 || status=$?
    tr -d '\r' <"$work/orvane.out"
    echo "(exit code $status)"
    echo
}

orvane MODE
orvane COMMCLASS
orvane MODE
orvane NATIVE
orvane MODE

echo "What the emulated printer saw:"
cat "$log"
