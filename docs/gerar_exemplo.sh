#!/usr/bin/env bash
# Makes docs/exemplo.svg from a job
# the generator writes: an external thread, four roughing passes and the
# finishing pass, left hand, start angle 30.5 degrees, length 6, pitch 1.5.
# Builds in build/release when the programs are not there yet.
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
construcao="$raiz/build/release"
if [ ! -x "$construcao/rosca-helicoidal" ] || [ ! -x "$construcao/rosca-visualizar" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target rosca-helicoidal rosca-visualizar >/dev/null
fi

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf 'E\n20\n24\n0.5\n0.2\n10\n6\n1.5\nE\n30.5\n1000\n200\n' | "$construcao/rosca-helicoidal" >/dev/null
"$construcao/rosca-visualizar" ROSCA-HELICOIDAL_PARALELA.TAP exemplo.svg
cp exemplo.svg "$raiz/docs/exemplo.svg"
