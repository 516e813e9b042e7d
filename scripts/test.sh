#!/usr/bin/env bash
# Builds every configuration and runs every test through CTest.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/deps.sh"
cd "$here"

brelk_need cmake ninja-build g++ libgtest-dev libgmock-dev

status=0
for preset in native sanitize; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j 2 || status=1
done
exit "$status"
