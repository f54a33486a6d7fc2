# The same programs for x86-64 (Debian package g++-mingw-w64-x86-64), for the
# tests only: CI runs its Windows suites on them under 64-bit Wine when the
# 32-bit Wine cannot be installed. The zip ships the 32-bit programs.
set(ROSCA_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
