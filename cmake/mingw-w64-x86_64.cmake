# Cross-builds the Windows programs (64-bit) with Debian's mingw-w64 compilers.
#
#   cmake -S . -B build/windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix-threads compilers are used: the win32-threads ones lack
# std::mutex, which GoogleTest needs. Everything is linked statically, so
# the programs import only Windows' own DLLs and run from a bare folder.
# Tests run through wine (CMAKE_CROSSCOMPILING_EMULATOR) in a wine prefix
# of the build's own, so that no other wine user is disturbed.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(BRIMWALD_WINE NAMES wine64 wine
  PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BRIMWALD_WINE)
  # Wine itself, for the tests that need a console of their own; the test
  # programs run through a wrapper that starts again a run wine never began.
  set(BRIMWALD_WINE_RUN
    /usr/bin/env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
    ${BRIMWALD_WINE})
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine_test_run.sh ${BRIMWALD_WINE_RUN})
endif()
