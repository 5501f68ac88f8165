#!/bin/sh
# each-locale.sh "LOCALE..." COMMAND...: runs COMMAND once under each locale, named in
# VELKORA_LOCALE too, in the current Wine prefix, whose server it may restart; fails if
# any run fails. Wine takes the display language from LC_ALL, else LC_MESSAGES.
#
# Chinese, Japanese and Korean are the display language alone (LC_MESSAGES, on a Western
# code page), with "Segoe UI" and Tahoma (the message box's, through "MS Shell Dlg") linked
# to WenQuanYi Micro Hei in FontLink\SystemLink: as on Windows, only the links give these
# fonts those glyphs. (Under a Chinese code page Wine would pick a Chinese font by its
# character set, link or not.) glibc needs such a locale compiled (localedef, into
# /tmp/velkora-locales), and Wine reads the links when its server starts. The other
# languages keep DejaVu Sans, the wider stand-in for Latin.
locales=$1
shift
. "$(dirname "$0")/../scripts/wine-env"
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
compiled=/tmp/velkora-locales
linked=no
status=0
for locale in $locales; do
  case $locale in zh_*|ja_*|ko_*) want=yes ;; *) want=no ;; esac
  if [ $want != $linked ]; then
    for face in "Segoe UI" Tahoma; do
      if [ $want = yes ]; then
        "$WINE" reg add "$link" /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f
      else
        "$WINE" reg delete "$link" /v "$face" /f
      fi >/dev/null 2>&1 </dev/null
    done
    "$WINESERVER" -k
    "$WINESERVER" -w
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE" wineboot >/dev/null 2>&1 </dev/null
    linked=$want
  fi
  echo "== $locale"
  if [ $want = no ]; then
    VELKORA_LOCALE=$locale LC_ALL=$locale "$@" || status=1
    continue
  fi
  if [ ! -d "$compiled/$locale" ]; then
    # glibc has no Macau locale: Hong Kong's under Macau's name, which is what Wine reads.
    source=${locale%%.*} && [ "$source" = zh_MO ] && source=zh_HK
    mkdir -p "$compiled" && localedef -i "$source" -f UTF-8 "$compiled/$locale.$$" &&
      { mv -T "$compiled/$locale.$$" "$compiled/$locale" 2>/dev/null || rm -rf "$compiled/$locale.$$"; }
  fi
  (unset LC_ALL && VELKORA_LOCALE=$locale LOCPATH=$compiled LANG=C.UTF-8 LC_MESSAGES=$locale "$@") || status=1
done
exit $status
