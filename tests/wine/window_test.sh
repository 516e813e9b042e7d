#!/usr/bin/env bash
# The real box in a real window: on a virtual display (in-xvfb.sh), wait for the window, read its
# title, save a screenshot, dismiss it with Return, check the exit status
# and the sorted package.
#   window_test.sh PROGRAM SCREENSHOT.png
set -euo pipefail
program="$1"
shot="$2"
here="$(cd "$(dirname "$0")" && pwd)"

work="$(mktemp -d)"
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/package"
printf x > "$work/package/x.h"
printf m > "$work/package/mandelf.h"
printf z > "$work/package/z.lib"
cp "$program" "$work/package/brelk-install.exe"

[ -n "${DISPLAY:-}" ] || { echo "needs a display: run under in-xvfb.sh"; exit 1; }

cd "$work/package"
WINELOADER="$BRELK_WINE" WINEDEBUG=-all "$BRELK_WINE" ./brelk-install.exe >"$work/wine.log" 2>&1 &
app=$!

window=""
for _ in $(seq 600); do
    window="$(xdotool search --onlyvisible --name '^brelk-install\.exe$' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || { echo "program ended without showing its box"; cat "$work/wine.log"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "no window titled brelk-install.exe appeared"; exit 1; }

title="$(xdotool getwindowname "$window")"
echo "window title: $title"
[ "$title" = "brelk-install.exe" ] || { echo "unexpected title"; exit 1; }
sleep 1  # let the box finish painting before the picture
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "$((WIDTH + 8))x$((HEIGHT + 30))+$((X - 4))+$((Y - 26))" +repage "$shot"
echo "screenshot: $shot"

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --window "$window" Return
status=0
for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "box did not close on Return"; exit 1; fi
wait "$app" || status=$?
app=""
echo "exit status: $status"
[ "$status" -eq 0 ] || exit 1

got="$(cd "$work/package" && find . -mindepth 1 ! -name brelk-install.exe | sort | tr '\n' ' ')"
want="./INCLUDE ./INCLUDE/x.h ./LIB ./LIB/z.lib ./mandelf.h "
[ "$got" = "$want" ] || { echo "tree: $got"; echo "want: $want"; exit 1; }
echo "package sorted"
