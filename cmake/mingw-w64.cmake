# Cross-compiles the Windows console program with MinGW-w64 (Debian package
# g++-mingw-w64-x86-64). The result is one statically linked .exe that runs
# on a bare Windows machine, with no MinGW runtime DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ROSCA_MINGW x86_64-w64-mingw32)
# The posix threads variant: its libstdc++ is complete (this release's win32
# variant has no std::thread or std::mutex), so using either later still builds.
find_program(CMAKE_CXX_COMPILER NAMES ${ROSCA_MINGW}-g++-posix ${ROSCA_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ROSCA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROSCA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C99 printf and strtof of MinGW, not the old system runtime's: console
# numbers and G-code digits must come out as they do on Linux. libstdc++
# turns this on too, but only in files that include a C++ header first.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
