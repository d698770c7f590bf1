# Run after a program or library that is started or mapped outside the build tree is linked: it
# may import from Windows' own DLLs only, since nothing else is on
# the search path of the programs the hook library is mapped into, nor beside the companion in
# the package; and it may need the named exports of a library it loads. Usage:
#   cmake -DOBJDUMP=<objdump> -DFILE=<exe or dll> [-DLIBRARY=<dll> -DNEEDED=<a;b>] -P CheckSystemImports.cmake
cmake_minimum_required(VERSION 3.20)
set(system kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll shell32.dll advapi32.dll msvcrt.dll
           shlwapi.dll ole32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${FILE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
if(names STREQUAL "")
  message(FATAL_ERROR "${FILE}: no imports found; objdump's output has changed")
endif()
foreach(entry ${names})
  string(REGEX REPLACE "DLL Name: *" "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system)
    message(FATAL_ERROR "${FILE} imports ${dll}, which is not a Windows system DLL")
  endif()
endforeach()

if(DEFINED LIBRARY)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE exports RESULT_VARIABLE failed)
  foreach(name ${NEEDED})
    if(failed OR NOT exports MATCHES "\\][ \t]+${name}\n")
      message(FATAL_ERROR "${LIBRARY} does not export ${name}, which ${FILE} binds")
    endif()
  endforeach()
endif()
