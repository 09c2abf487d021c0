# The test programs' cross build for 32-bit Windows: MinGW-w64 i686 with
# POSIX threads, since GoogleTest needs std::mutex.
set(DORVANE_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686.cmake)
