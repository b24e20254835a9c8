# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix). Tests run
# under wine64 (Debian: wine64), which ctest starts through the emulator below.
set(DRAVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
find_program(DRAVO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT DRAVO_WINE64)
  find_program(DRAVO_WINE64 NAMES wine64 wine)
endif()
if(DRAVO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRAVO_WINE64})
endif()
