# Cross-compiles the Win32 targets with MinGW-w64 for x86_64: the 64-bit twin, a test vehicle for machines whose kernel cannot start 32-bit programs.
#
# The win32 thread model is required: the posix model links winpthreads, which imports
# GetTickCount64 and AddVectoredExceptionHandler, and Windows 95/98 refuse to load such a program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVADO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVADO_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KELVADO_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${KELVADO_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KELVADO_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVADO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
