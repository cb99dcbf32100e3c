cmake_minimum_required(VERSION 3.25)
# cmake -DOBJDUMP=<objdump> -DPLUGIN=<Rillmark.tsx> -P check_plugin_exports.cmake
# Fails unless the plug-in exports exactly tsxDeactivate, tsxGetData,
# tsxOnLeftClick and tsxOnRightClick, and imports only from DLLs that every
# Windows installation has (no MinGW runtime, no libwinpthread).
set(expected_exports tsxDeactivate tsxGetData tsxOnLeftClick tsxOnRightClick)
set(system_dlls ADVAPI32.DLL COMCTL32.DLL COMDLG32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL
    MSIMG32.DLL OLEAUT32.DLL SHELL32.DLL USER32.DLL VERSION.DLL WINMM.DLL WS2_32.DLL)

execute_process(COMMAND ${OBJDUMP} -p ${PLUGIN} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${PLUGIN} failed (${status})")
endif()

# Export names are the lines "[   n] name" after the name pointer table.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]*\\[[ 0-9]+\\] [^\n]+\n)*)" _ "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^ \t\n]+" export_lines "${CMAKE_MATCH_1}")
set(exports)
foreach(line IN LISTS export_lines)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND exports ${name})
endforeach()
list(SORT exports)
message(STATUS "exports: ${exports}")
if(NOT exports STREQUAL expected_exports)
  message(FATAL_ERROR "exports are '${exports}', expected exactly '${expected_exports}'")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" dll_lines "${dump}")
if(NOT dll_lines)
  message(FATAL_ERROR "no imports found in the dump of ${PLUGIN}")
endif()
foreach(line IN LISTS dll_lines)
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOUPPER "${dll}" upper)
  message(STATUS "imports from ${dll}")
  if(NOT upper IN_LIST system_dlls)
    message(FATAL_ERROR "${PLUGIN} depends on ${dll}, which is not a Windows system DLL")
  endif()
endforeach()
