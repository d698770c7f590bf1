# pelmira_split_debug_info(<targets...>): after each link, moves the target's debug information
# into <file>.debug beside it and leaves a .gnu_debuglink to it, as the release packages do, so
# debuggers still find it.
# Why in the test trees too: under Wine an image's load time grows with its file, debug sections
# included (they lie inside the image's address range). With them skerrow.dll is about 8 MB and
# took 4 to 11 ms to load into a program with a user interface, against 1 to 2 ms without, paid
# by every program the hook enters before its colour dialog can show; the controller's 11 MB
# image slowed its start the same way. The benches then time the programs, not their debug data.
# Release trees are left alone: scripts/dist.sh keeps their symbols itself.
function(pelmira_split_debug_info)
  if(CMAKE_BUILD_TYPE STREQUAL "Release" OR NOT CMAKE_OBJCOPY)
    return()
  endif()
  foreach(target ${ARGN})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
              $<TARGET_FILE:${target}>
      COMMENT "Moving the debug information of ${target} beside it"
      VERBATIM)
  endforeach()
endfunction()
