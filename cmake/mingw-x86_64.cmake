# Cross toolchain for a 64-bit build of the same Windows code and tests,
# for machines whose kernel runs no 32-bit programs and so no 32-bit Wine
# (scripts/test.sh falls back to it there). What users install is always
# the i686 build; this one only lets the Windows suite run somewhere.
#
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_rillmark_triple x86_64-w64-mingw32)
set(_rillmark_winearch win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
