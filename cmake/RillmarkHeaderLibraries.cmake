# CLI11 and nlohmann-json, header-only, from Debian's libcli11-dev and
# nlohmann-json3-dev (scripts/setup.sh installs them), for the bake
# program. As with xsimd, the MinGW build must not search the build
# machine's /usr/include, so both builds see each library through a folder
# in the build tree that holds only a link to its headers.
function(rillmark_header_library target header folder package)
  find_path(_root_${target} ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  if(NOT _root_${target})
    message(FATAL_ERROR "${header} not found: run scripts/setup.sh (Debian package ${package})")
  endif()
  set(_include ${CMAKE_BINARY_DIR}/${target}-include)
  file(MAKE_DIRECTORY ${_include})
  file(CREATE_LINK ${_root_${target}}/${folder} ${_include}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${_include})
endfunction()

if(NOT TARGET rillmark_cli11)
  rillmark_header_library(rillmark_cli11 CLI/CLI.hpp CLI libcli11-dev)
  rillmark_header_library(rillmark_json nlohmann/json.hpp nlohmann nlohmann-json3-dev)
endif()
