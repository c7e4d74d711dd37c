#!/bin/sh
# wine-run.sh WINE PROGRAM [ARGUMENTS...]: runs a Windows program under Wine with its output
# passed on through a file. Processes that Wine starts on the way (the desktop, services) would
# otherwise keep the output open after the program ended, and CTest would wait for them.
wine=$1
shift
out=$(mktemp)
"$wine" "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
