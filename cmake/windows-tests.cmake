# The test programs as Windows programs. Included from the top-level
# CMakeLists.txt in a Windows build with BUILD_TESTING, before any target.

if(MINGW)
  # They take MinGW's runtime with them, so they run where its DLLs are not:
  # under Wine, or from any Windows prompt.
  add_link_options(-static)
endif()

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  # Cross-built, they run under Wine, in a prefix of this build's own, made
  # when a test first runs. The emulator is one program without arguments,
  # since GoogleTest's discovery at test time takes its first word alone.
  math(EXPR _dorvane_bits "${CMAKE_SIZEOF_VOID_P} * 8")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-emulator)
  file(WRITE ${CMAKE_CROSSCOMPILING_EMULATOR} "#!/bin/sh\nexec \
'${PROJECT_SOURCE_DIR}/tools/wine/emulator' ${_dorvane_bits} \
'${CMAKE_BINARY_DIR}/wine-prefix' \"$@\"\n")
  file(CHMOD ${CMAKE_CROSSCOMPILING_EMULATOR} FILE_PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
endif()
