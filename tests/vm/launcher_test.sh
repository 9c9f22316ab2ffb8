#!/usr/bin/env bash
# The guest launcher's own checks. A checkout under /tmp whose path holds a space, quotes, $, a
# backslash, a comma, a colon and a non-ASCII letter (the launcher and its scripts copied there,
# as a clone would be), its build tree and results inside it, and a folder under /dev/shm all
# reach a command started in /tmp, which is otherwise the guest's own; a folder under /proc, or
# one whose path holds a newline, is refused with one line before any guest boots.
# Usage: launcher_test.sh GUEST_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
guest=${1:?usage: launcher_test.sh GUEST_DIR}
scratch=$(mktemp -d /tmp/orvane-launcher.XXXXXX)
shm=$(mktemp -d /dev/shm/orvane-launcher.XXXXXX)
trap 'rm -rf "$scratch" "$shm"' EXIT
fail() { echo "launcher_test: $*" >&2; exit 1; }

checkout="$scratch/My Projects/o'r\"v \$HOME\\a,n:é"$'\377'
mkdir -p "$checkout/tests/vm" "$checkout/build"
cp "$here/orvane-vm" "$here/guest-stage2.sh" "$checkout/tests/vm/"
echo checkout >"$checkout/build/marker"
echo shm >"$shm/marker"
: >"$scratch/not-kept"

set +e
"$checkout/tests/vm/orvane-vm" --guest "$guest" --quiet --timeout 150 \
    --results "$checkout/build/results" --cwd /tmp --keep "$shm" -- \
    sh -c 'test "$(cat "$1/build/marker")" = checkout && test "$(cat "$2/marker")" = shm &&
        test ! -e "$3/not-kept" && echo reached >"$ORVANE_VM_RESULTS/answer"' \
    sh "$checkout" "$shm" "$scratch"
code=$?
set -e
[ "$code" = 0 ] || fail "the guest did not reach its folders (exit $code); console: $checkout/build/results/console.log"
[ "$(cat "$checkout/build/results/answer")" = reached ] || fail "no answer in the results folder"

for refused in /proc "$scratch/a"$'\n'"line"; do
    set +e
    refusal=$("$here/orvane-vm" --guest "$guest" --results "$scratch/refused" --keep "$refused" -- true 2>&1)
    code=$?
    set -e
    [ "$code" = 125 ] || fail "$refused: exit $code, not 125"
    [ "$(printf '%s\n' "$refusal" | wc -l)" = 1 ] && [[ $refusal == *"${refused%%$'\n'*}"* ]] ||
        fail "$refused: not one line naming it: $refusal"
    [ ! -e "$scratch/refused" ] || fail "$refused: the launcher went on to set a guest up"
done
echo "launcher_test: passed"
