#!/usr/bin/env bash
# Checks orvane_run's handling of Wine's silent exits against a stand-in for wine: the first of
# a suite run is retried with the first attempt's files kept aside, a second one fails the case;
# and a tool that Wine ends before it says a word is started once more.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"
# The stand-in counts its calls; the calls listed in $scratch/silent exit with 1 saying nothing.
cat >"$scratch/bin/wine" <<'EOF'
#!/bin/sh
n=$(($(cat "$SCRATCH/calls" 2>/dev/null || echo 0) + 1))
echo "$n" >"$SCRATCH/calls"
grep -qx "$n" "$SCRATCH/silent" && exit 1
case " $* " in *" --log "*) log=${*#*--log } && echo "$n ready" >"${log%% *}" ;; esac
echo "ran $*"
EOF
chmod +x "$scratch/bin/wine"
printf '%s\n' 1 3 >"$scratch/silent"
export SCRATCH=$scratch PATH="$scratch/bin:$PATH" E2E_ORVANE=Orvane.exe E2E_PREFIX=$scratch/prefix \
    E2E_STATE=$scratch/state E2E_WORK=$scratch/work
export E2E_OWNER=$$
mkdir -p "$E2E_STATE"
echo "$E2E_OWNER" >"$E2E_STATE/owner"

problems=0
check() {
    "${@:2}" || { echo "FAIL: $1"; problems=$((problems + 1)); }
}

# shellcheck source=lib.sh
(source "$here/lib.sh" && e2e_begin_case first && orvane_run 10 MODE && echo "rc $ORVANE_RC") \
    >"$scratch/first.out" 2>"$scratch/first.err"
check "the first silent exit is retried" grep -qx "rc 0" "$scratch/first.out"
check "the retry's output is kept" grep -q "ran Orvane.exe MODE" "$E2E_WORK/first/orvane.out"
check "the first attempt's files are kept aside" test -f "$E2E_WORK/first/first-attempt-1/orvane.out"
check "the test output says where" grep -q "first attempt's files are in $E2E_WORK/first" \
    "$scratch/first.err"

(source "$here/lib.sh" && e2e_begin_case second && orvane_run 10 MODE && echo "rc $ORVANE_RC") \
    >"$scratch/second.out" 2>"$scratch/second.err"
check "a second silent exit in the same suite run fails the case" \
    grep -q "FAIL: Wine ended Orvane.exe silently twice" "$scratch/second.err"
check "and is not retried" test "$(cat "$scratch/calls")" = 3
check "both are counted" test "$(wc -l <"$E2E_STATE/wine-retries")" = 2

printf '%s\n' 4 >"$scratch/silent"
(source "$here/lib.sh" && e2e_begin_case tool && E2E_READY_BOUND_S=5 &&
    e2e_start_tool emulator PrinterEmulator.exe "$scratch/tool.log" --log "$scratch/tool.log" &&
    echo started) >"$scratch/tool.out" 2>"$scratch/tool.err"
check "a tool that Wine ended without a word is started once more" grep -qx started "$scratch/tool.out"
check "and its second start is the one that serves" grep -qx "5 ready" "$scratch/tool.log"

if ((problems > 0)); then
    cat "$scratch"/*.out "$scratch"/*.err
    exit 1
fi
echo "PASS: silent exits are retried once per suite run, with evidence kept"
