#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh GROUP CASE runs case_CASE from cases/GROUP.sh.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
group=$1
name=$2
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=/dev/null
source "$here/cases/$group.sh"

declare -F "case_$name" >/dev/null || {
    echo "no case '$name' in cases/$group.sh" >&2
    exit 2
}
e2e_begin_case "$group.$name"
"case_$name"
echo "PASS: $group.$name"
