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

# libzip from Debian's sources (scripts/windows.sh fetches them), built with the cross
# compiler against Debian's zlib for mingw-w64. Only the library: static, and without
# encryption, bzip2 and lzma, which no game archive uses, so that it costs CI little.
set(KESTRUM_LIBZIP_SOURCE "" CACHE PATH "libzip's sources, unpacked (scripts/windows.sh fetches Debian's)")
if(KESTRUM_WITH_ZIP AND NOT TARGET libzip::zip)
  if(NOT EXISTS ${KESTRUM_LIBZIP_SOURCE}/lib/zip.h)
    message(FATAL_ERROR "Set KESTRUM_LIBZIP_SOURCE to libzip's sources, or KESTRUM_WITH_ZIP to OFF")
  endif()
  set(ZLIB_USE_STATIC_LIBS ON)  # the executables link statically; libz.dll.a would want zlib1.dll
  set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
  set(LIBZIP_DO_INSTALL OFF CACHE BOOL "" FORCE)
  foreach(unused ENABLE_COMMONCRYPTO ENABLE_GNUTLS ENABLE_MBEDTLS ENABLE_OPENSSL ENABLE_WINDOWS_CRYPTO ENABLE_BZIP2
                 ENABLE_LZMA BUILD_TOOLS BUILD_REGRESS BUILD_EXAMPLES BUILD_DOC)
    set(${unused} OFF CACHE BOOL "" FORCE)
  endforeach()
  add_subdirectory(${KESTRUM_LIBZIP_SOURCE} ${CMAKE_BINARY_DIR}/libzip EXCLUDE_FROM_ALL)
endif()
