#!/usr/bin/env bash
# Builds the installer and runs it on DIR, or on a fresh copy of the
# bundled sample package, showing the tree before and after.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/deps.sh"
brelk_need cmake ninja-build g++ tree >/dev/null

cd "$here"
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELK_TESTS=OFF >/dev/null
cmake --build build/demo --target brelk-install >/dev/null

if [ $# -ge 1 ]; then
    target="$(cd "$1" && pwd)"
else
    target="$(mktemp -d)/package"
    cp -a "$here/examples/package" "$target"
fi

echo "== $target before"
tree -a --noreport "$target"
status=0
(cd "$target" && "$here/build/demo/brelk-install") || status=$?
echo "== $target after (exit status $status)"
tree -a --noreport "$target"
exit "$status"
