#!/usr/bin/env bash
# Makes the pictures of the README and the manual from jobs the generator
# writes:
# - docs/imagens/exemplo.svg: an external thread, four roughing passes and the
#   finishing pass, left hand, start angle 30.5 degrees, length 6, pitch 1.5;
# - docs/imagens/visualizador-m20.png: the viewer's page of the manual's first
#   chapter (M20x2.5-6H internal, 14 mm mill, LinuxCNC), rendered by rsvg-convert;
# - docs/imagens/entrada-tangencial.png: the views of an arcs file with tangent
#   entries and exits.
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
"$construcao/rosca-visualizar" ROSCA-HELICOIDAL_PARALELA.TAP exemplo.svg >/dev/null
mkdir -p "$raiz/docs/imagens"
cp exemplo.svg "$raiz/docs/imagens/exemplo.svg"

printf 'I\n20.112\n17.5\n0.5\n0.1\n14\n20\n2.5\nD\n0\n2728\n122.8\n' |
    "$construcao/rosca-helicoidal" --comando linuxcnc --saida m20.ngc >/dev/null
"$construcao/rosca-visualizar" m20.ngc m20.svg >/dev/null
rsvg-convert -w 1000 m20.svg -o "$raiz/docs/imagens/visualizador-m20.png"

# The manual's chapter on ways of cutting: the tangent entries and exits of
# an arcs file, the views only (the page cut at their foot).
printf 'I 20 17 0.5 0.1 10 4 1.5 D 0 1000 200\n' |
    "$construcao/rosca-helicoidal" --comando linuxcnc --arcos --concordante --entrada-tangencial --saida tang.ngc >/dev/null
"$construcao/rosca-visualizar" tang.ngc tang.svg >/dev/null
sed '0,/<svg /s/height="[0-9.]*" viewBox="0 0 \([0-9.]*\) [0-9.]*"/height="640" viewBox="0 0 \1 640"/' tang.svg >vistas.svg
rsvg-convert -w 1000 vistas.svg -o "$raiz/docs/imagens/entrada-tangencial.png"
