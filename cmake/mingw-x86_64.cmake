set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The posix thread model: GoogleTest needs std::mutex, which gcc 12 has only there.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs of this build run under wine64 (Debian installs it off PATH). Without it no test can
# run here, and the tests say so.
find_program(QUORLFIX_WINE64 wine64 PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin NO_CACHE)
find_program(QUORLFIX_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine /usr/lib64/wine
             /opt/wine-stable/bin NO_CACHE)
if(QUORLFIX_WINE64 AND QUORLFIX_WINESERVER)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/wine-exec.sh ${QUORLFIX_WINE64} ${QUORLFIX_WINESERVER} ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
