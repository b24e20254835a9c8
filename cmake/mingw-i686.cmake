# Cross build for 32-bit Windows with mingw-w64 (Debian: g++-mingw-w64-i686-posix): the plug-in
# for the 32-bit player. Running it needs a 32-bit wine, so this build is checked, not run.
set(DRAVO_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
