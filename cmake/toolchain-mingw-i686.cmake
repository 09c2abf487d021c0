# Cross build of the 32-bit Windows console program with MinGW-w64 (i686).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(DORVANE_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
