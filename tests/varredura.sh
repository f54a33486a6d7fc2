#!/usr/bin/env bash
# A sweep of the viewer over seeded random jobs of the generator: the two
# property tests of tests/visualizar_propriedades_test.cpp with many jobs,
# their classes of failure written to a Markdown report.
#
# Usage: tests/varredura.sh [REPORT.md]        (default: BUILD/varredura.md)
#   SEMENTE=1 QUANTOS=3000 EDICOES=1000 BUILD=build/s tests/varredura.sh
# QUANTOS valid jobs for the good files and the operator's edits, EDICOES
# valid jobs for the edits that spoil a file. The test output goes to
# BUILD/varredura.log. Exit status: 0 when the viewer passed every case, 1
# when the report has failures, 2 when the sweep could not run.
set -uo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$raiz/build/s}
case $build in /*) ;; *) build=$PWD/$build ;; esac
relatorio=${1:-$build/varredura.md}
semente=${SEMENTE:-1}
quantos=${QUANTOS:-3000}
edicoes=${EDICOES:-1000}

cmake --build "$build" -j2 --target rosca_testes rosca-helicoidal rosca-visualizar >/dev/null || exit 2
parcial=$(mktemp)
trap 'rm -f "$parcial"' EXIT

inicio=$SECONDS
status=0
ROSCA_SORTEIO_SEMENTE=$semente ROSCA_SORTEIO_QUANTOS=$quantos ROSCA_SORTEIO_EDICOES=$edicoes \
ROSCA_SORTEIO_RELATORIO=$parcial \
    "$build/tests/rosca_testes" --gtest_also_run_disabled_tests \
    --gtest_filter='VisualizarPropriedadesPontaAPonta.*' >"$build/varredura.log" 2>&1 || status=$?
duracao=$((SECONDS - inicio))
if [ ! -s "$parcial" ]; then
    echo "varredura: the sweep wrote no report; see $build/varredura.log" >&2
    exit 2
fi

{
    echo "# Varredura do visualizador"
    echo
    echo "Semente $semente, $quantos trabalhos validos para os arquivos bons e os ajustes, $edicoes para as"
    echo "edicoes ruins; commit $(git -C "$raiz" rev-parse --short HEAD 2>/dev/null || echo '?'), $(date -u '+%Y-%m-%d %H:%M UTC'),"
    echo "${duracao} s ao todo (com a reducao dos casos). Para refazer:"
    echo
    echo "    SEMENTE=$semente QUANTOS=$quantos EDICOES=$edicoes tests/varredura.sh"
    echo
    cat "$parcial"
} >"$relatorio"
grep -h '^\[ sorteio  \]' "$build/varredura.log"
echo "varredura: $relatorio (${duracao} s)"
[ "$status" -eq 0 ] || exit 1
