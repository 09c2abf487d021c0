# The zip a Windows user downloads, with dorvane.exe and its manual,
# README.txt, at its top: cmake --build build/win32 --target package (or
# cpack in build/win32) writes build/win32/dorvane-<version>-win32.zip.
# Included from the top-level CMakeLists.txt when WIN32, after src/ has
# defined dorvane.

# The manual with CR LF line ends, which every Notepad shows as lines.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/docs/README.txt)
file(READ ${PROJECT_SOURCE_DIR}/docs/README.txt _dorvane_manual)
string(REPLACE "\n" "\r\n" _dorvane_manual "${_dorvane_manual}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt "${_dorvane_manual}")

install(TARGETS dorvane RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME dorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME dorvane-${PROJECT_VERSION}-win32)
# Where the zip lands, for its check; include(CPack) leaves
# CPACK_PACKAGE_FILE_NAME naming the source package.
set(DORVANE_ZIP ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
# The files themselves at the top, not under a folder named like the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
