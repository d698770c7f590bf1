# pelmira_delay_imports(<variable> <dll base names...>): builds delay-load import libraries with
# dlltool from cmake/delay/<name>.def and sets <variable> to their paths. A program linked with
# them loads each DLL at the first call of one of its functions instead of at its own load.
# The .def files name what the hook library calls, with the i686 stdcall suffixes (@n); the
# x86_64 names have none.
function(pelmira_delay_imports variable)
  find_program(PELMIRA_DLLTOOL ${PELMIRA_TRIPLE}-dlltool REQUIRED)
  set(libraries)
  foreach(name ${ARGN})
    set(def ${CMAKE_SOURCE_DIR}/cmake/delay/${name}.def)
    set(library ${CMAKE_BINARY_DIR}/lib/lib${name}_delay.a)
    set(flags)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(flags --kill-at)  # link against _Name@n, import "Name"
    else()
      file(READ ${def} text)
      string(REGEX REPLACE "@[0-9]+" "" text "${text}")
      set(def ${CMAKE_BINARY_DIR}/delay/${name}.def)
      file(WRITE ${def} "${text}")
    endif()
    file(STRINGS ${CMAKE_SOURCE_DIR}/cmake/delay/${name}.def header REGEX "^LIBRARY ")
    string(REPLACE "LIBRARY " "" dll "${header}")
    add_custom_command(OUTPUT ${library}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
                       COMMAND ${PELMIRA_DLLTOOL} ${flags} --input-def ${def} --dllname ${dll}
                               --output-delaylib ${library}
                       DEPENDS ${CMAKE_SOURCE_DIR}/cmake/delay/${name}.def
                       VERBATIM)
    list(APPEND libraries ${library})
  endforeach()
  add_custom_target(${variable}_target DEPENDS ${libraries})
  set(${variable} ${libraries} PARENT_SCOPE)
  set(${variable}_TARGET ${variable}_target PARENT_SCOPE)
endfunction()
