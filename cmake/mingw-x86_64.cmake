# The same sources for 64-bit Windows, for the Windows tests on a machine
# whose 32-bit Wine cannot run (tools/wine_env.sh): `wine` is then 64-bit
# Wine.  The wizard itself is the 32-bit build.
set(MINGW_CPU x86_64)
set(MINGW_DEPS win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
