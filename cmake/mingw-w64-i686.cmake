# Cross-compiles the Win32 targets with MinGW-w64 for i686: the program that runs on Windows 95/98.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVADO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
