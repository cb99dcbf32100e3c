# Provides GTest::gtest, GTest::gtest_main, GTest::gmock and
# GTest::gmock_main for both builds. Natively they come from Debian's
# installed GoogleTest. Debian ships no MinGW build of it, so the Win32 build
# compiles Debian's GoogleTest sources (/usr/src/googletest) with the cross
# compiler inside the build tree.

if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  return()
endif()

if(TARGET GTest::gtest)
  return()
endif()

set(RILLMARK_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources to build for the cross build")
if(NOT EXISTS ${RILLMARK_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR
    "GoogleTest sources not found in ${RILLMARK_GOOGLETEST_SOURCE_DIR} "
    "(Debian package googletest; scripts/setup.sh installs it)")
endif()

set(BUILD_SHARED_LIBS OFF)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${RILLMARK_GOOGLETEST_SOURCE_DIR}
                 ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)

foreach(_lib gtest gtest_main gmock gmock_main)
  # Our warning flags reach these targets through the directory; their
  # warnings are not ours to fix.
  target_compile_options(${_lib} PRIVATE -w)
  # GoogleTest 1.12 defines these aliases itself; older sources do not.
  if(NOT TARGET GTest::${_lib})
    add_library(GTest::${_lib} ALIAS ${_lib})
  endif()
endforeach()
