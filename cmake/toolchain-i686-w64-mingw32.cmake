# Cross build for i686 Windows with Debian's mingw-w64 (posix thread model: GoogleTest needs it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The test programs run under 32-bit Wine in the emulated i386 root of scripts/test-i686;
# a cache setting, so another runner can be named without editing this file.
set(VELKORA_I686_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run-i686.sh CACHE FILEPATH
    "Runs an i686 test program (CMAKE_CROSSCOMPILING_EMULATOR of this build)")
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELKORA_I686_EMULATOR})
