# Cross build for Windows with the posix-thread mingw-w64 compilers
# (GoogleTest needs std::thread; the win32-thread ones lack it).
#
# BRENVIK_WINDOWS_ARCH selects the target: i686 (default) is the shipped
# 32-bit executable; x86_64 builds the same sources for machines whose kernel
# cannot execute 32-bit code, where only 64-bit Wine runs.
set(BRENVIK_WINDOWS_ARCH "i686" CACHE STRING "i686 or x86_64")
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRENVIK_WINDOWS_ARCH)
set(triple ${BRENVIK_WINDOWS_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
if(BRENVIK_WINDOWS_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test executables run under Wine in the prefix the test session prepared.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
