# Cross-building for 64-bit Windows with Debian's MinGW-w64 (win32 threads flavour).
set(VESSANE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
