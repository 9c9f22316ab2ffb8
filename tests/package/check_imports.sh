#!/usr/bin/env bash
# Orvane.exe must run on a bare Windows machine: a console program that imports only DLLs
# that ship with Windows (no libgcc, libstdc++ or winpthread DLLs).
set -euo pipefail
objdump=$1
exe=$2
headers=$("$objdump" -p "$exe")
subsystem=$(grep -E '^Subsystem' <<<"$headers" | awk '{print $2}')
if [ "$subsystem" != "00000003" ]; then
    echo "expected the console subsystem (3), found: $subsystem"
    exit 1
fi
allowed='^(kernel32|user32|gdi32|advapi32|setupapi|comctl32|msvcrt|shell32|ole32|oleaut32|ntdll|api-ms-win-crt-[a-z0-9-]+|ucrtbase)\.dll$'
status=0
dlls=$(grep -E 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
for dll in $dlls; do
    if ! [[ $dll =~ $allowed ]]; then
        echo "not a system DLL: $dll"
        status=1
    fi
done
for needed in kernel32.dll setupapi.dll advapi32.dll; do
    grep -qx "$needed" <<<"$dlls" || { echo "missing import: $needed"; status=1; }
done
# The dialog's DLLs are delay-loaded: named in the executable, but not in the import table that
# the loader resolves at start-up. The strings are read once into a variable: piping them into
# `grep -q` under pipefail fails at random when grep stops reading early.
names=$(strings "$exe" | tr '[:upper:]' '[:lower:]')
for delayed in ${3:-}; do
    if grep -qx "$delayed" <<<"$dlls"; then
        echo "$delayed is imported at start-up; it should be delay-loaded"
        status=1
    fi
    grep -qx "$delayed" <<<"$names" || { echo "$delayed is not named at all"; status=1; }
done
echo "imports:" $dlls "; delay-loaded:" ${3:-none}
exit $status
