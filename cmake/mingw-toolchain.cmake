# Cross builds for Windows with MinGW-w64, shared by the per-architecture
# toolchain files, which set DORVANE_MINGW_PREFIX and the processor first,
# and DORVANE_MINGW_THREADS to "posix" for the compilers whose C++ library
# has std::mutex (the default, "win32", has none).
set(CMAKE_SYSTEM_NAME Windows)

if(DORVANE_MINGW_THREADS STREQUAL "posix")
  set(_dorvane_compiler_suffix -posix)
endif()
set(CMAKE_C_COMPILER ${DORVANE_MINGW_PREFIX}-gcc${_dorvane_compiler_suffix})
set(CMAKE_CXX_COMPILER ${DORVANE_MINGW_PREFIX}-g++${_dorvane_compiler_suffix})
set(CMAKE_RC_COMPILER ${DORVANE_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW sysroot only; programs run on the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${DORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
