# Cross builds for Windows with MinGW-w64, shared by the per-architecture
# toolchain files, which set DORVANE_MINGW_PREFIX and the processor first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${DORVANE_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${DORVANE_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${DORVANE_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW sysroot only; programs run on the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${DORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
