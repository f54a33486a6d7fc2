#!/usr/bin/env bash
# Cross-builds the Windows programs and zips them with CPack:
#   cmake/pacote_windows.sh SOURCE BUILD_DIR PACKAGE_DIR
# Installs what the packages need when missing (MinGW-w64 for i686, and
# dpkg-dev, whose dpkg-shlibdeps the Debian package's dependencies come from).
set -euo pipefail
fonte=$1
construcao=$2
pacotes=$3

"$fonte/cmake/instalar_pacotes.sh" g++-mingw-w64-i686 dpkg-dev

cmake -S "$fonte" -B "$construcao" -DCMAKE_TOOLCHAIN_FILE="$fonte/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DROSCA_TESTES=OFF -DROSCA_PASTA_PACOTES="$pacotes" >/dev/null
# A build of its own, not a part of the calling make's job pool.
env -u MAKEFLAGS -u MFLAGS cmake --build "$construcao" -j2
(cd "$construcao" && cpack -G ZIP)
