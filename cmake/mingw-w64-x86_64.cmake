# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread and Qt need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALOMA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALOMA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALOMA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALOMA_MINGW_PREFIX}-windres)
set(CMAKE_AR ${TALOMA_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TALOMA_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries built for Windows (Qt among them) are found where CMAKE_PREFIX_PATH names them, and
# never among the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${TALOMA_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs run under wine where a test or a build step needs one.
find_program(TALOMA_WINE NAMES wine wine64)
if(TALOMA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALOMA_WINE})
endif()
