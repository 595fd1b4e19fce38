# The wizard: 32-bit Windows.
set(MINGW_CPU i686)
set(MINGW_DEPS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
