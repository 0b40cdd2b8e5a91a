# Cross-compiles Windows programs with mingw-w64 (POSIX thread model).
# AGENT_ARCH: i686 (the shipped 32-bit programs, default) or x86_64.
set(AGENT_ARCH i686 CACHE STRING "Target processor: i686 or x86_64")
set_property(CACHE AGENT_ARCH PROPERTY STRINGS i686 x86_64)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${AGENT_ARCH})
set(triple ${AGENT_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER   ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${triple}-windres)
set(AGENT_OBJDUMP      ${triple}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
