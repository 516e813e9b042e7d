#!/bin/sh
# Runs a command on a virtual display of its own. Wine programs started
# before, without a display, share one server whose desktop has none, so
# that server is ended first, and ended again after, since its display
# goes away with Xvfb.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" "$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $status
