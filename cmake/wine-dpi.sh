#!/bin/sh
# wine-dpi.sh DPI COMMAND...: runs COMMAND under a copy of the current Wine prefix whose
# system DPI is DPI. Wine reads it from HKCU\Control Panel\Desktop, value LogPixels
# (REG_DWORD), when its server starts: the copy gets a server of its own.
dpi=$1
shift
wine=${VELKORA_WINE:-/usr/lib/wine/wine64}
server=$(dirname "$wine")/wineserver
copy=$(mktemp -d /tmp/velkora-dpi.XXXXXX) || exit 1
cp -a "$WINEPREFIX" "$copy/prefix" || exit 1
export WINEPREFIX=$copy/prefix
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
"$server" -k
"$server" -w
# Wine's services start here, outside the caller's output pipe.
"$server" -p >/dev/null 2>&1 </dev/null
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
"$@"
status=$?
"$server" -k
"$server" -w
rm -rf "$copy"
exit $status
