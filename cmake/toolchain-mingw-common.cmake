# Shared part of the MinGW-w64 toolchain files; VESSANE_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${VESSANE_MINGW_TRIPLET}")

# The -win32 compilers: no winpthreads DLL to ship.
set(CMAKE_C_COMPILER ${VESSANE_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VESSANE_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${VESSANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VESSANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C and C++ runtimes: the programs need no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine through a wrapper that keeps one prefix per build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
