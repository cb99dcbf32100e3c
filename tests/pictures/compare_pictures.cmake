# cmake -DPYTHON=... -DSOURCE_DIR=... -DSCRATCH=... -P compare_pictures.cmake
# Draws every picture into SCRATCH and fails unless the files there and the
# committed ones under src/ui are the same set, byte for byte.

file(REMOVE_RECURSE "${SCRATCH}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/scripts/draw_pictures.py" --out "${SCRATCH}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "draw_pictures.py failed: ${result}")
endif()

file(GLOB_RECURSE drawn RELATIVE "${SCRATCH}" "${SCRATCH}/*")
file(GLOB committed RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/ui/pictures/*")
list(APPEND committed ui/picture_catalog.inc)
list(SORT drawn)
list(SORT committed)
if(drawn STREQUAL "")
  message(FATAL_ERROR "draw_pictures.py wrote nothing into ${SCRATCH}")
endif()

set(every_path ${drawn} ${committed})
list(REMOVE_DUPLICATES every_path)
set(problems "")
foreach(path IN LISTS every_path)
  if(NOT EXISTS "${SCRATCH}/${path}")
    string(APPEND problems "\n  ${path}: committed, but the script no longer draws it")
  elseif(NOT EXISTS "${SOURCE_DIR}/src/${path}")
    string(APPEND problems "\n  ${path}: drawn, but not committed")
  else()
    file(SHA256 "${SCRATCH}/${path}" drawn_hash)
    file(SHA256 "${SOURCE_DIR}/src/${path}" committed_hash)
    if(NOT drawn_hash STREQUAL committed_hash)
      string(APPEND problems "\n  ${path}: differs from what the script draws")
    endif()
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "The committed pictures do not match scripts/draw_pictures.py:"
    "${problems}\nRun scripts/draw_pictures.py and commit what it writes.")
endif()
list(LENGTH drawn count)
message(STATUS "${count} files match scripts/draw_pictures.py")
