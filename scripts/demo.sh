#!/usr/bin/env bash
# The main job on a fresh Linux machine: builds Orvane.exe and runs it under Wine against the
# printer emulator. The printer starts in native mode; Orvane reports the mode, switches the
# printer to comm class mode (showing its virtual port), and back to native mode. Then a second
# printer joins, already in comm class mode: Orvane lists both, refuses a change that does not
# say which printer, and changes the one chosen with PRINTER=. Wine is set up
# and the emulator started by the end-to-end suite's own scripts (tests/e2e), in a prefix that
# belongs to the demo alone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/install-deps.sh || exit 1
cmake --preset windows >/dev/null || exit 1
cmake --build --preset windows >/dev/null || exit 1

build=$PWD/build/windows
export E2E_ORVANE=$build/Orvane.exe
export E2E_EMULATOR=$build/tools/printer-emulator/PrinterEmulator.exe
export E2E_PREFIX=$build/demo-prefix E2E_STATE=$build/demo/state E2E_WORK=$build/demo
export E2E_OWNER=$$ E2E_TOOL_LIFETIME_S=600
# shellcheck source=tests/e2e/lib.sh
source tests/e2e/lib.sh

mkdir -p "$E2E_WORK"
if [[ ! -f "$E2E_PREFIX/system.reg" ]]; then
    echo "(creating a Wine prefix: once, about a minute)"
fi
if ! bash tests/e2e/prefix_setup.sh >"$E2E_WORK/setup.log" 2>&1; then
    cat "$E2E_WORK/setup.log"
    echo "Wine could not be set up"
    exit 1
fi
e2e_begin_case run
finish() {
    e2e_end_background
    bash tests/e2e/prefix_cleanup.sh >"$E2E_WORK/cleanup.log" 2>&1 || cat "$E2E_WORK/cleanup.log"
}
trap finish EXIT

emulator_start --mode native --restart-ms 3000

orvane() {
    echo "> Orvane.exe $*"
    orvane_run 180 "$@"
    tr -d '\r' <"$CASE_DIR/orvane.out"
    tr -d '\r' <"$CASE_DIR/orvane.err"
    echo "(exit code $ORVANE_RC)"
    echo
}

orvane VERSION
orvane MODE
orvane COMMCLASS
orvane MODE
orvane NATIVE
orvane MODE

echo "What the emulated printer saw:"
cat "$CASE_DIR/emulator.log"
emulator_stop

echo
echo "Two printers: ORVEMU0001 in native mode, ORVEMU0003 (product C318, port COM9) in comm class"
echo
emulator_start --mode native --restart-ms 3000 --also --mode comm --pid c318 --port COM9
orvane LIST
orvane COMMCLASS
orvane PRINTER=1 COMMCLASS
orvane MODE

echo "What the emulated printers saw:"
cat "$CASE_DIR/emulator.log"
emulator_stop
