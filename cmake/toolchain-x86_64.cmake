# Cross build for 64-bit Windows with the MinGW-w64 posix-thread compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELMIRA_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${PELMIRA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELMIRA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${PELMIRA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PELMIRA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under 64-bit Wine through a wrapper that picks the build tree's own prefix.
set(PELMIRA_CAN_RUN ON)
