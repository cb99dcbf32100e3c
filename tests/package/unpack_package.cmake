cmake_minimum_required(VERSION 3.25)
# cmake -DPACKAGE=<zip> -DFOLDER=<folder> -P unpack_package.cmake
# Unpacks the package into a fresh folder, as a user unpacks it, and fails
# unless it holds exactly what a user needs.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
file(ARCHIVE_EXTRACT INPUT ${PACKAGE} DESTINATION ${FOLDER})
foreach(item Rillmark.tsx Index.htm ReadMe.txt images/tab_animation.png images/about_window.png
    rillmark-bake.exe examples/pond.json examples/boat.obj)
  if(NOT EXISTS ${FOLDER}/${item})
    message(FATAL_ERROR "the package lacks ${item}")
  endif()
endforeach()
file(GLOB_RECURSE everything RELATIVE ${FOLDER} ${FOLDER}/*)
foreach(item IN LISTS everything)
  if(NOT item MATCHES "^(Rillmark\\.tsx|rillmark-bake\\.exe|Index\\.htm|ReadMe\\.txt|images/[a-z_]+\\.png|examples/(pond\\.json|boat\\.obj))$")
    message(FATAL_ERROR "the package holds an unexpected ${item}")
  endif()
endforeach()
# Every picture the guide shows is in the package.
file(READ ${FOLDER}/Index.htm guide)
string(REGEX MATCHALL "src=\"[^\"]+\"" pictures "${guide}")
foreach(picture IN LISTS pictures)
  string(REGEX REPLACE "src=\"([^\"]+)\"" "\\1" path "${picture}")
  if(NOT EXISTS ${FOLDER}/${path})
    message(FATAL_ERROR "Index.htm shows ${path}, which the package lacks")
  endif()
endforeach()
message(STATUS "unpacked ${PACKAGE} into ${FOLDER}")
