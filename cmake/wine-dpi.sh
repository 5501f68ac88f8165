#!/bin/bash
# wine-dpi.sh DPI COMMAND...: runs COMMAND in a fresh Wine prefix whose system DPI is
# DPI, on the current display. Wine reads it from HKCU\Control Panel\Desktop, value
# LogPixels (REG_DWORD), when its server starts. (A copy of a prefix in use lacks what
# its server has not yet written to disk.)
dpi=$1
shift
. "$(dirname "$0")/../scripts/wine-env"
dir=$(mktemp -d /tmp/velkora-dpi.XXXXXX) || exit 1
export WINEPREFIX=$dir/prefix
wine_env_prefix "$dir"
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
"$WINESERVER" -k
"$WINESERVER" -w
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
"$WINE" wineboot >/dev/null 2>&1 </dev/null
"$@"
status=$?
"$WINESERVER" -k
"$WINESERVER" -w
rm -rf "$dir"
exit $status
