# Cross-compiles the 32-bit Windows programs, as specified, and runs what
# CTest starts under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
find_program(WINE_PROGRAM wine REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
