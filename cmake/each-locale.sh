#!/bin/sh
# each-locale.sh "LOCALE..." COMMAND...: runs COMMAND once under each locale (LC_ALL,
# from which Wine takes the display language) in the current Wine prefix, whose server it
# restarts; fails if any run fails. In the Chinese, Japanese and Korean runs "Segoe UI"
# is linked to WenQuanYi Micro Hei, as Windows links it to its own fonts of these scripts
# (FontLink\SystemLink); the other runs keep DejaVu Sans, the wider stand-in for Latin.
# Wine reads the link when its server starts.
locales=$1
shift
. "$(dirname "$0")/../scripts/wine-env"
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
linked=no
status=0
for locale in $locales; do
  case $locale in zh_*|ja_*|ko_*) want=yes ;; *) want=no ;; esac
  if [ $want != $linked ]; then
    if [ $want = yes ]; then
      "$WINE" reg add "$link" /v "Segoe UI" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f
    else
      "$WINE" reg delete "$link" /v "Segoe UI" /f
    fi >/dev/null 2>&1 </dev/null
    "$WINESERVER" -k
    "$WINESERVER" -w
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE" wineboot >/dev/null 2>&1 </dev/null
    linked=$want
  fi
  echo "== LC_ALL=$locale"
  LC_ALL=$locale "$@" || status=1
done
exit $status
