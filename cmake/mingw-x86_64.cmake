# Cross-compiles the same programs for x86_64, for hosts that run no 32-bit
# code, and runs what CTest starts under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
# The 64-bit loader itself: Debian's wine command picks the 32-bit one
# whenever wine32 is installed.
find_program(WINE_PROGRAM NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
