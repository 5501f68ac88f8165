#!/bin/sh
# each-locale.sh "LOCALE..." COMMAND...: runs COMMAND once under each locale (LC_ALL,
# from which Wine takes the display language); fails if any run fails.
locales=$1
shift
status=0
for locale in $locales; do
  echo "== LC_ALL=$locale"
  LC_ALL=$locale "$@" || status=1
done
exit $status
