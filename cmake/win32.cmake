# The Windows program: dorvane.exe, a 32-bit console executable that imports
# only system DLLs. Included by src/CMakeLists.txt when WIN32.

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "dorvane.exe is a 32-bit program: configure for Win32 "
                      "(MinGW i686, or Visual Studio with -A Win32).")
endif()

add_executable(dorvane
  ${PROJECT_SOURCE_DIR}/src/app/main-win32.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/platform-win32.cpp)
set_target_properties(dorvane PROPERTIES
  OUTPUT_NAME dorvane
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(dorvane PRIVATE dorvane_core kernel32)

if(MSVC)
  # The runtime library (static, so no redistributable is needed) comes from
  # CMAKE_MSVC_RUNTIME_LIBRARY in the msvc-win32 preset. Like the core, the
  # program never throws.
  target_compile_definitions(dorvane PRIVATE _HAS_EXCEPTIONS=0)
elseif(MINGW)
  set(_dorvane_optimized "$<CONFIG:Release,MinSizeRel>")
  foreach(_target dorvane dorvane_core)
    target_compile_options(${_target} PRIVATE
      "$<${_dorvane_optimized}:-Os;-ffunction-sections;-fdata-sections>")
  endforeach()
  # A tool that never throws and runs one thread needs little of libstdc++:
  # no exceptions, no guards for local statics, std::string compiled in.
  foreach(_target dorvane dorvane_core)
    target_compile_options(${_target} PRIVATE
      -fno-exceptions -fno-threadsafe-statics
      -include ${PROJECT_SOURCE_DIR}/src/platform/local_string_instances-mingw.h)
  endforeach()
  target_sources(dorvane PRIVATE
    ${PROJECT_SOURCE_DIR}/src/platform/runtime_support-mingw.cpp)
  # The compiler's own libraries are linked in, so the program imports only
  # DLLs that every Windows has. A linker warning fails the build, as a
  # compiler warning does.
  target_link_options(dorvane PRIVATE
    -static -static-libgcc -static-libstdc++ -Wl,--fatal-warnings
    "$<${_dorvane_optimized}:-Wl,--gc-sections;-s>")
endif()
