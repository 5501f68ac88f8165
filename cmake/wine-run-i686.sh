#!/bin/sh
# Runs a cross-built i686 test program under the 32-bit Wine of the emulated i386
# root that scripts/test-i686 prepares and names in VELKORA_I686_ROOT; CTest and gtest
# discovery call it. Host paths stay valid: the project is mounted at the same place
# inside the root, so the program and the working directory need no mapping.
i386_root=${VELKORA_I686_ROOT:-}
if [ -z "$i386_root" ] || [ ! -x "$i386_root/usr/lib/wine/wine" ]; then
  echo "wine-run-i686.sh: no i386 root with Wine; run the i686 tests with scripts/test-i686" >&2
  exit 127
fi
dir=$(pwd -P)
[ -d "$i386_root$dir" ] || dir=/
exec env PATH=/usr/local/bin:/usr/bin:/bin unshare --root="$i386_root" --wd="$dir" /usr/lib/wine/wine "$@"
