# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads),
# statically: the programs need no DLL beside them. Programs built here run
# under Wine where the build or the tests start them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVEX_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORVEX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVEX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVEX_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib from libz-mingw-w64-dev, linked in rather than as zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine's loader hint about a missing 32-bit part is off with WINEDEBUG=-all.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all wine)
