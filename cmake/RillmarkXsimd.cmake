# xsimd, header-only, from Debian's libxsimd-dev (scripts/setup.sh installs
# it). The MinGW build must not search the build machine's /usr/include, so
# both builds see xsimd through a folder in the build tree that holds only a
# link to its headers.
find_path(RILLMARK_XSIMD_ROOT xsimd/xsimd.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT RILLMARK_XSIMD_ROOT)
  message(FATAL_ERROR "xsimd headers not found: run scripts/setup.sh (Debian package libxsimd-dev)")
endif()
set(_rillmark_xsimd_include ${CMAKE_BINARY_DIR}/xsimd-include)
file(MAKE_DIRECTORY ${_rillmark_xsimd_include})
file(CREATE_LINK ${RILLMARK_XSIMD_ROOT}/xsimd ${_rillmark_xsimd_include}/xsimd SYMBOLIC)
add_library(rillmark_xsimd INTERFACE)
target_include_directories(rillmark_xsimd SYSTEM INTERFACE ${_rillmark_xsimd_include})
