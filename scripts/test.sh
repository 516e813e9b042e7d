#!/usr/bin/env bash
# Builds every configuration and runs every test through CTest: the POSIX
# build (plain, then under AddressSanitizer and UndefinedBehaviorSanitizer),
# the Windows program under Wine, and the fuzz targets for a bounded time.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/deps.sh"
cd "$here"

# Packages are installed without their recommendations: Wine's box needs its
# fonts and X extensions, which it only recommends, so they are named here.
brelk_need cmake ninja-build g++ libgtest-dev libgmock-dev python3 valgrind file xauth \
    clang libclang-rt-14-dev \
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 g++-aarch64-linux-gnu \
    wine wine64 wine32:i386 xvfb xdotool imagemagick \
    fonts-wine libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1

for preset in win32 win64 aarch64; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
echo "== win32 program: $(file -b build/win32/brelk-install.exe), $(stat -c %s build/win32/brelk-install.exe) bytes"

status=0
echo "== native"
cmake --preset native -DBRELK_TESTS=ON \
    -DBRELK_WIN32_EXE="$here/build/win32/brelk-install.exe" \
    -DBRELK_WIN64_EXE="$here/build/win64/brelk-install.exe" >/dev/null
cmake --build --preset native
ctest --preset native -j 2 || status=1

echo "== sanitize"
cmake --preset sanitize -DBRELK_TESTS=ON >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j 2 || status=1

echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz -j 2 || status=1
exit "$status"
