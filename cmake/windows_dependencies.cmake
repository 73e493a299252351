# The libraries the tests and the CLI need, for a cross build: Debian ships them as
# sources or headers only for the build machine.

# GoogleTest from Debian's sources, built with the cross compiler.
if(KESTRUM_BUILD_TESTS AND NOT TARGET GTest::gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# CLI11 is header-only, but adding /usr/include to the include path would hide
# mingw's own C headers behind glibc's: give the compiler a folder holding only CLI/.
if(NOT TARGET CLI11::CLI11)
  set(KESTRUM_CLI11_INCLUDE ${CMAKE_BINARY_DIR}/cli11-include)
  file(COPY /usr/include/CLI DESTINATION ${KESTRUM_CLI11_INCLUDE})
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KESTRUM_CLI11_INCLUDE})
endif()

# Debian has no libzip built for Windows: kestrum-cli.exe reads maps from folders and
# .pak files, and says that .zip, .pk3 and .pk4 archives need the Linux build.
set(KESTRUM_WITH_ZIP OFF CACHE BOOL "Read maps inside zip archives (.pk3, .pk4, .zip) with libzip")
