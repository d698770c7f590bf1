# Run after skerrow.dll is linked: its export table must name exactly the functions of
# skerrow.def, undecorated (no "_", no "@n"), in this build as in every other, because the
# controller binds them by those names. Usage:
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<skerrow.dll> -DDEF=<skerrow.def> -P CheckExports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${LIBRARY}")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\][^\n]*\n)*)" table "${dump}")
# Square brackets would upset CMake's list splitting: drop the "[ n]" ordinals before listing.
string(REGEX REPLACE "\\[[ 0-9]+\\]" "" table "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[^ \t\n]+" exported "${table}")

file(STRINGS ${DEF} lines)
set(expected "")
set(inExports OFF)
foreach(line ${lines})
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(inExports ON)
  elseif(inExports AND NOT line STREQUAL "")
    list(APPEND expected ${line})
  endif()
endforeach()

list(SORT exported)
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "skerrow.dll exports [${exported}], expected [${expected}]")
endif()
