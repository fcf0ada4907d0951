# Cross-compiles the Win32 targets with MinGW-w64 for x86_64: their 64-bit twins, a test vehicle
# for machines whose kernel cannot start 32-bit programs (run under wine64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVADO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
