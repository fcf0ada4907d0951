# The MinGW-w64 cross compilers for KELVADO_MINGW_PREFIX (set by the toolchain file that includes
# this one).
#
# The win32 thread model is required: the posix model links winpthreads, which imports
# GetTickCount64 and AddVectoredExceptionHandler, and Windows 95/98 refuse to load such a program.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KELVADO_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KELVADO_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${KELVADO_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KELVADO_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVADO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
