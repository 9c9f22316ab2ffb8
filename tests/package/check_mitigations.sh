#!/usr/bin/env bash
# Orvane.exe carries the exploit mitigations a binary analyser looks for: in its headers ASLR
# with the base relocations it needs, DEP, and high-entropy ASLR (x86_64) or no SEH handlers
# (i686); in its code functions that check a stack canary, each calling the routine that fails
# fast with code 2 (FAST_FAIL_STACK_COOKIE_CHECK_FAILURE).
# Usage: check_mitigations.sh OBJDUMP ORVANE_EXE
set -euo pipefail
objdump=$1
exe=$2
headers=$("$objdump" -p "$exe")
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

# objdump names the set DllCharacteristics bits on the lines below the value.
flags=$(awk '/^DllCharacteristics/ { on = 1; next } on && /^\t/ { print $1; next } { on = 0 }' \
    <<<"$headers" | sort -u | tr '\n' ' ')
flags=${flags% }
expected="DYNAMIC_BASE NX_COMPAT"
if grep -q '^Magic.*PE32+' <<<"$headers"; then
    expected+=" HIGH_ENTROPY_VA"
else
    expected+=" NO_SEH"
fi
for flag in $expected; do
    [[ " $flags " == *" $flag "* ]] || fail "DllCharacteristics lacks $flag (has: ${flags:-none})"
done
relocations=$(awk '/Base Relocation Directory/ { print $4 }' <<<"$headers")
[[ -n "$relocations" && $((16#$relocations)) -gt 0 ]] ||
    fail "no base relocations: the loader cannot move the image"

# The call sites of the fast-fail routine: the address of `mov $0x2,%ecx` before `int $0x29`.
code=$("$objdump" -d --no-show-raw-insn "$exe")
routine=$(awk '/mov +\$0x2,%ecx$/ { at = $1; next }
    /int +\$0x29$/ && at != "" { sub(":", "", at); print at; exit } { at = "" }' <<<"$code")
calls=0
if [[ -n "$routine" ]]; then
    calls=$(grep -cE "call +(0x)?0*$routine\$" <<<"$code" || true)
fi
((calls > 0)) || fail "no function checks a stack canary (fail routine: ${routine:-not found})"

echo "DllCharacteristics: $flags; base relocations: 0x${relocations:-0} bytes;" \
    "stack canary checks: $calls"
exit $status
