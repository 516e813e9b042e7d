#!/usr/bin/env bash
# The program under valgrind on the sample package, and on one where a copy
# fails: no memory error, no leak.
#   valgrind.sh PROGRAM SAMPLE-DIR
set -euo pipefail
program="$1"
sample="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

check() {
    local dir="$1" want="$2" status=0
    (cd "$dir" && valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=all \
        "$program") >"$work/out" 2>&1 || status=$?
    cat "$work/out"
    [ "$status" -eq "$want" ] || { echo "exit status $status, want $want"; exit 1; }
}

cp -a "$sample" "$work/sample"
check "$work/sample" 0

mkdir -p "$work/blocked/INCLUDE/x.h"
printf x > "$work/blocked/x.h"
check "$work/blocked" 1
echo "valgrind: no errors"
