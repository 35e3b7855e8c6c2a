# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix,
# whose threads the tests use) and runs what it builds under Wine (wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and packages come from the target's tree, never the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TUITION_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TUITION_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TUITION_WINE})
endif()
