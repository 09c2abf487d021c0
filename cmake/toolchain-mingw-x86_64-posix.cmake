# The test programs' cross build for 64-bit Windows: MinGW-w64 x86_64 with
# POSIX threads, since GoogleTest needs std::mutex.
set(DORVANE_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-x86_64.cmake)
