#!/bin/sh
# Runs a cross-built test program under 64-bit Wine; CTest and gtest discovery call it.
# WINEPREFIX, DISPLAY and friends come from scripts/test.
exec "${VELKORA_WINE:-/usr/lib/wine/wine64}" "$@"
