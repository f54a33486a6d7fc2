# Cross-compiles the Windows programs with MinGW-w64 (Debian package
# g++-mingw-w64-i686) for 32-bit x86: one statically linked .exe per program
# that runs on 32- and 64-bit Windows alike, with no MinGW runtime DLLs beside it.
# cmake/mingw-w64-x86_64.cmake sets ROSCA_MINGW first and includes this file.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT ROSCA_MINGW)
  set(ROSCA_MINGW i686-w64-mingw32)
endif()
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${ROSCA_MINGW}")

# The win32 threads variant: neither program starts a thread, and the posix
# variant links winpthreads, which imports GetTickCount64, absent from
# Windows XP. (This variant has no std::thread or std::mutex.)
find_program(CMAKE_CXX_COMPILER NAMES ${ROSCA_MINGW}-g++-win32 ${ROSCA_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ROSCA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROSCA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C99 printf and strtof of MinGW, not the old system runtime's: console
# numbers and G-code digits must come out as they do on Linux. libstdc++
# turns this on too, but only in files that include a C++ header first.
# float and double in SSE2 registers, in their own precision, as on x86-64:
# the default x87 arithmetic rounds twice and moves coordinates in the third
# decimal (the numeric checks refuse to build without this).
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
