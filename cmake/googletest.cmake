# GoogleTest for the test programs, and dorvane_add_gtest() to register one.
#
# An installed GoogleTest is found through find_package: Debian's
# libgtest-dev on Linux, vcpkg or MSYS2's package on Windows. A MinGW cross
# build has none in its sysroot, so it builds GoogleTest from the sources
# that libgtest-dev installs (DORVANE_GTEST_SOURCE_DIR), without any fetch.

find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(DORVANE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest's sources, built when no installed GoogleTest is found")
  if(NOT EXISTS ${DORVANE_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
    message(FATAL_ERROR
      "No GoogleTest: install one that find_package(GTest) finds, or set "
      "DORVANE_GTEST_SOURCE_DIR to its sources (Debian: libgtest-dev).")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Linked statically into each program, as the tool's code is.
  set(BUILD_SHARED_LIBS OFF)
  add_subdirectory(${DORVANE_GTEST_SOURCE_DIR}/googletest
                   ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its sources are not ours to keep free of warnings. It names its
  # targets GTest::gtest and GTest::gtest_main, as find_package does.
  set_target_properties(gtest gtest_main PROPERTIES
    COMPILE_WARNING_AS_ERROR OFF)
endif()

include(GoogleTest)

# Registers each test of a GoogleTest program with CTest. Under an emulator
# (Wine) the list is asked for when the tests run, not at build time, so a
# build needs no Wine prefix, and a cold first start gets time.
function(dorvane_add_gtest target)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    gtest_discover_tests(${target} NO_PRETTY_VALUES
      DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300)
  else()
    gtest_discover_tests(${target} NO_PRETTY_VALUES)
  endif()
endfunction()
