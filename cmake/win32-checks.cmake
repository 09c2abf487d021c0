# The checks of what a Windows user gets, as CTest tests of the Windows
# build: cmake --workflow --preset win32 builds dorvane.exe and then runs
# them. They read the exe and the zip with host programs (Python, MinGW's
# objdump), so no emulator is needed. Included from the top-level
# CMakeLists.txt after cmake/win32-package.cmake, which names the zip
# (DORVANE_ZIP).

find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  # The exe and the zip build without them; the win32 test preset then
  # finds no tests and fails.
  message(STATUS "No Python 3: the checks of dorvane.exe and its zip are "
                 "not registered")
  return()
endif()

# CTest enables testing only with BUILD_TESTING, which is a test build here.
enable_testing()

set(_dorvane_checks ${PROJECT_SOURCE_DIR}/tools/win32)
set(_dorvane_exe $<TARGET_FILE:dorvane>)

# 64 KiB: the exe carries no C++ runtime beyond what the tool uses.
add_test(NAME exe.size
  COMMAND Python3::Interpreter ${_dorvane_checks}/check-exe
          size ${_dorvane_exe} 65536)
# Every import and every function bound by name on the allow-list, which
# holds only what Windows 2000 has.
add_test(NAME exe.imports
  COMMAND Python3::Interpreter ${_dorvane_checks}/check-imports
          ${_dorvane_exe})
# The version information and the application manifest.
add_test(NAME exe.resources
  COMMAND Python3::Interpreter ${_dorvane_checks}/check-exe
          resources ${_dorvane_exe})
set_tests_properties(exe.imports exe.resources PROPERTIES
  ENVIRONMENT OBJDUMP=${CMAKE_OBJDUMP})

# The zip as a user downloads it, made from this build before it is read.
add_test(NAME zip.build
  COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --config $<CONFIG>
          --target package)
set_tests_properties(zip.build PROPERTIES FIXTURES_SETUP dorvane_zip)
add_test(NAME zip.contents
  COMMAND Python3::Interpreter ${_dorvane_checks}/check-zip
          ${DORVANE_ZIP} ${_dorvane_exe} ${PROJECT_SOURCE_DIR}/docs/README.txt)
set_tests_properties(zip.contents PROPERTIES FIXTURES_REQUIRED dorvane_zip)
