# Cross build for 64-bit Windows with MinGW-w64 (x86_64): only the Wine rig's
# 64-bit leg uses it, on hosts that cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(DORVANE_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
