# The body of both MinGW-w64 toolchain files (mingw-i686.cmake,
# mingw-x86_64.cmake): POSIX threads, SSE2 arithmetic, and no MinGW runtime
# DLLs, so a built program or DLL needs nothing beside it but what Windows
# (or Wine) provides. Test programs run through Wine, see scripts/wine-run.sh.
# The including file sets _rillmark_triple, CMAKE_SYSTEM_PROCESSOR and
# _rillmark_winearch (the Wine prefix kind its programs need).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${_rillmark_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_rillmark_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${_rillmark_triple}-windres)
set(CMAKE_AR           ${_rillmark_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${_rillmark_triple}-ranlib CACHE FILEPATH "")

# The host stores floats and the simulation computes in floats; SSE2 scalar
# arithmetic gives the same results as the x86-64 native build, where x87
# would keep extended precision in registers. MinGW realigns the stack for
# SSE by default (-mstackrealign), which matters because the host calls us
# with only 4-byte stack alignment.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# -static also pulls in libwinpthread statically (the posix flavour of
# libstdc++ needs it); without it every EXE/DLL would need
# libwinpthread-1.dll next to it.
set(_rillmark_static "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "${_rillmark_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_rillmark_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_rillmark_static}")

set(CMAKE_FIND_ROOT_PATH /usr/${_rillmark_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine in a prefix that belongs to this build
# folder. The toolchain file is read again inside try_compile projects,
# where CMAKE_BINARY_DIR is a scratch folder, so the prefix path is fixed
# once in the cache and handed on to them.
if(NOT DEFINED RILLMARK_WINEPREFIX)
  set(RILLMARK_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix"
      CACHE PATH "Wine prefix used to run Win32 test programs")
endif()
set(RILLMARK_WINEARCH "${_rillmark_winearch}" CACHE STRING "Kind of Wine prefix (win32 or win64)" FORCE)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RILLMARK_WINEPREFIX)
get_filename_component(_rillmark_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_rillmark_root}/scripts/wine-run.sh;--prefix;${RILLMARK_WINEPREFIX};--arch;${_rillmark_winearch}")
