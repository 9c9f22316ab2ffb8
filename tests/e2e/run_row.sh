#!/usr/bin/env bash
# Runs one row of the table of cases under Wine: run_row.sh NAME.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=row.sh
source "$here/row.sh"

e2e_begin_case "row.$1"
row_run "$1"
echo "PASS: row.$1"
