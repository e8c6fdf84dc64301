# Cross-compiles jkrescale for 64-bit Windows with Debian's MinGW-w64
# (packages g++-mingw-w64-x86-64 and, for the tests, googletest and wine):
#
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The programs are linked statically (C and C++ runtimes and winpthread), so
# each .exe runs on its own, without DLLs beside it. GoogleTest is built from
# Debian's sources with the same compiler, and the tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(JKRESCALE_MINGW_TRIPLET x86_64-w64-mingw32)

# The posix-threads variant: GCC 12's win32 variant has no std::thread,
# std::mutex or std::call_once.
find_program(CMAKE_C_COMPILER NAMES ${JKRESCALE_MINGW_TRIPLET}-gcc-posix
             ${JKRESCALE_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${JKRESCALE_MINGW_TRIPLET}-g++-posix
             ${JKRESCALE_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${JKRESCALE_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot only,
# never from the build machine; programs (wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${JKRESCALE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian ships GoogleTest for MinGW only as sources.
set(JKRESCALE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources to build the tests with")

# ctest runs the Windows test program through Wine (with the WINEPREFIX and
# WINEDEBUG of its environment), by way of scripts/wine-run.sh, which starts
# a program again when Wine failed to start it at all.
find_program(JKRESCALE_WINE NAMES wine)
if(JKRESCALE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
