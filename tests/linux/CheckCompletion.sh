#!/usr/bin/env bash
# The package's bash completion loads in a plain bash and offers the switches, and after
# PRINTER= the numbers and IDs that LIST shows, quoted for the shell (LIST is played by a
# function here, with an ID that holds an escape).
# Usage: CheckCompletion.sh <package file>
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$1" "$root"
script=$root/usr/share/bash-completion/completions/orvane
[ -f "$script" ] || { echo "FAIL: no bash completion in the package" >&2; exit 1; }

offered=$(bash --norc --noprofile -c '
    . "$1"
    complete -p orvane
    orvane() { printf "1\tAB\\\\x09C\tNative USB\t\n2\tORV-2\tComm Class USB\t/dev/ttyACM0\n"; }
    for COMP_LINE in "orvane co" "orvane MODE PRINTER=" "orvane printer=a" "orvane -"; do
        COMP_POINT=${#COMP_LINE} COMP_WORDS=() COMP_CWORD=0
        _orvane
        echo "$COMP_LINE: ${COMPREPLY[*]}"
    done' bash "$script")
expected='complete -F _orvane orvane
orvane co: COMMCLASS
orvane MODE PRINTER=: 1 AB\\x09C 2 ORV-2
orvane printer=a: AB\\x09C
orvane -: --help --version'
[ "$offered" = "$expected" ] || { printf 'FAIL: the completion offered\n%s\n' "$offered" >&2; exit 1; }
