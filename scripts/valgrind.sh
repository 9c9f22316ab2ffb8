#!/usr/bin/env bash
# Runs the host unit tests under valgrind's memcheck: any invalid access, use of uninitialised
# memory or leak fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset host >/dev/null
cmake --build --preset host

log=build/host/valgrind.log
status=0
# The outer limit only guards against a hang; the suite takes well under a minute under memcheck.
timeout --kill-after=30 1800 valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes \
    --log-file="$log" build/host/tests/unit/orvane_unit_tests --gtest_brief=1 || status=$?
tail -n 30 "$log"
if [ $status -ne 0 ]; then
    echo "valgrind: the unit tests failed or memcheck found errors (exit $status); see $log"
fi
exit $status
