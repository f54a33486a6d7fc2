#!/usr/bin/env bash
# The Windows viewer against the Linux one: the .exe reads a file the Linux
# generator wrote and must write the same SVG bytes, with the same exit
# status, as the Linux viewer; on a whole file and on one cut short.
#
# Usage: tests/visualizar_windows.sh WINE VIEWER.exe LINUX-GENERATOR LINUX-VIEWER
# (absolute paths or paths from the current directory).
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 WINE VIEWER.exe LINUX-GENERATOR LINUX-VIEWER" >&2
    exit 2
fi
absoluto() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
wine=$1
exe=$(absoluto "$2")
gerador=$(absoluto "$3")
visualizador=$(absoluto "$4")

visto=$(mktemp -d)
trap 'rm -rf "$visto"' EXIT
cd "$visto"
printf 'E\n20\n24\n0.5\n0.2\n10\n2\n1\nE\n30.5\n1000\n200\n' | "$gerador" >/dev/null
head -c 50000 ROSCA-HELICOIDAL_PARALELA.TAP >cortado.tap
# Ways of cutting and a taper: arcs, lead arcs and the cone are drawn with the
# math library, which must give the same bytes on both systems.
printf 'I\n16\n14\n0.5\n0.1\n10\n6\n2\nD\n12.5\n1000\n200\n' |
    "$gerador" --comando fanuc --arcos --concordante --entrada-tangencial --saida arcos.nc >/dev/null
printf 'E\n20\n22\n0.5\n0.1\n6\n5\n2.5\nE\n30\n1000\n200\n' |
    "$gerador" --conica --entrada-tangencial --discordante --saida conica.tap >/dev/null
# A program run as the control runs it (holes, the adjusted diameter) and a
# thread of several starts in chords, its starts at fractional degrees.
printf '0 0\n40 0\n0 40\n' >furos.txt
printf 'I\n20\n17.5\n0.5\n0.1\n14\n6\n2.5\nD\n0\n1000\n200\n' |
    "$gerador" --comando siemens --ajuste-na-maquina --furos furos.txt --saida producao.mpf >/dev/null
printf 'I\n40\n34\n1\n0.1\n20\n3\n6\nD\n0\n1000\n200\n' |
    "$gerador" --comando linuxcnc --entradas 7 --saida entradas.ngc >/dev/null
for tap in ROSCA-HELICOIDAL_PARALELA.TAP cortado.tap arcos.nc conica.tap producao.mpf entradas.ngc; do
    status_linux=0
    "$visualizador" "$tap" linux.svg >/dev/null || status_linux=$?
    status_windows=0
    "$wine" "$exe" "$tap" windows.svg >/dev/null || status_windows=$?
    if [ "$status_linux" != "$status_windows" ] || ! cmp -s linux.svg windows.svg; then
        echo "rosca-visualizar.exe differs from the Linux viewer on $tap" \
             "(status $status_windows against $status_linux)" >&2
        exit 1
    fi
done
