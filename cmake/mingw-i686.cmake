# Cross toolchain for the shipped Win32 build (Rillmark.tsx and its tests):
# MinGW-w64 i686.
#
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR i686)
set(_rillmark_triple i686-w64-mingw32)
set(_rillmark_winearch win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
