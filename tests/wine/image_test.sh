#!/usr/bin/env bash
# The Windows program as users get it: a 32-bit GUI image that imports
# nothing beyond what every Windows has.
#   image_test.sh PROGRAM.exe
set -euo pipefail
exe="$1"
kind="$(file -b "$exe")"
echo "$kind"
case "$kind" in
    "PE32 executable (GUI) Intel 80386"*) ;;
    *) echo "not a 32-bit GUI program"; exit 1 ;;
esac
imports="$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort | tr '\n' ' ')"
echo "imports: $imports"
[ "$imports" = "KERNEL32.dll USER32.dll msvcrt.dll " ] || { echo "unexpected imports"; exit 1; }
echo "size: $(stat -c %s "$exe") bytes"
