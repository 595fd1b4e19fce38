# Cross-compiles for Windows with MinGW-w64 (posix threads) for the CPU
# MINGW_CPU, with the C libraries of build/deps/MINGW_DEPS, and runs the
# results under Wine.  Included by mingw-i686.cmake and mingw-x86_64.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_CPU})
set(CMAKE_C_COMPILER ${MINGW_CPU}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_CPU}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_CPU}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_CPU}-w64-mingw32 ${CMAKE_CURRENT_LIST_DIR}/../build/deps/${MINGW_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
