#!/usr/bin/env bash
# Times rosca-visualizar (read, check, draw) on the file rosca-helicoidal has
# just written, beside the generator's own time to write it, in the same run:
# the reference job of bench/executar.sh and the one ten times larger (about
# 238 MB). Then the viewer's peak memory on both (/usr/bin/time -v), which
# must not grow with the file. Medians of several runs.
#
#   bench/visualizar.sh            # VEZES=9 runs per job
#
# Builds in build/bench-visualizar (Release). Files go to a temporary
# directory, removed at the end.
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
construcao="$raiz/build/bench-visualizar"
vezes=${VEZES:-9}

cmake -S "$raiz" -B "$construcao" -DCMAKE_BUILD_TYPE=Release -DROSCA_TESTES=OFF >/dev/null
cmake --build "$construcao" -j2 --target rosca-helicoidal rosca-visualizar >/dev/null
gerador="$construcao/rosca-helicoidal"
visualizador="$construcao/rosca-visualizar"
source "$raiz/bench/comum.sh"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
escrever_trabalhos

# medir RESPOSTAS: fills $t_gerador, $t_visualizador (medians, s), $tamanho,
# $svg (bytes) and $rss (median peak of the viewer, KiB).
medir() {
    local respostas=$1 i t0 t1 t2
    : >gerador.tempos
    : >visualizador.tempos
    : >rss.valores
    for ((i = 0; i < vezes; i++)); do
        rm -f "$tap" ROSCA-HELICOIDAL_PARALELA.svg
        t0=$EPOCHREALTIME
        "$gerador" <"$respostas" >/dev/null
        t1=$EPOCHREALTIME
        "$visualizador" >/dev/null
        t2=$EPOCHREALTIME
        segundos "$t0" "$t1" >>gerador.tempos
        segundos "$t1" "$t2" >>visualizador.tempos
    done
    tamanho=$(stat -c %s "$tap")
    svg=$(stat -c %s ROSCA-HELICOIDAL_PARALELA.svg)
    for ((i = 0; i < 3; i++)); do
        /usr/bin/time -v "$visualizador" >/dev/null 2>tempo.txt
        awk -F': ' '/Maximum resident set size/ { print $2 }' tempo.txt >>rss.valores
    done
    t_gerador=$(mediana <gerador.tempos)
    t_visualizador=$(mediana <visualizador.tempos)
    rss=$(mediana <rss.valores)
}

relatar() {
    awk -v nome="$1" -v g="$t_gerador" -v v="$t_visualizador" -v b="$tamanho" -v s="$svg" -v r="$rss" 'BEGIN {
        printf "%-20s %8.1f MB  gerador %7.1f ms  visualizador %7.1f ms  visualizador/gerador %5.2f  svg %6.0f kB  pico %6d KiB\n",
               nome, b / 1e6, g * 1e3, v * 1e3, v / g, s / 1e3, r }'
}

echo "== rosca-visualizar contra rosca-helicoidal (medianas de $vezes execucoes)"
medir referencia.txt
relatar "referencia"
rss_referencia=$rss
medir dez_vezes.txt
relatar "dez vezes (L 500)"
awk -v a="$rss_referencia" -v b="$rss" 'BEGIN {
    printf "pico de memoria do visualizador: %d KiB (referencia) e %d KiB (dez vezes): diferenca %d KiB\n", a, b, b - a }'

# The same ten-times job written and read as helical arcs (--arcos) against
# the chords above: the arcs must take under a hundredth of the time.
: >arcos.tempos
for ((i = 0; i < vezes; i++)); do
    rm -f arcos.tap arcos.svg
    t0=$EPOCHREALTIME
    "$gerador" --arcos --saida arcos.tap <dez_vezes.txt >/dev/null
    "$visualizador" arcos.tap >/dev/null
    t1=$EPOCHREALTIME
    segundos "$t0" "$t1" >>arcos.tempos
done
t_arcos=$(mediana <arcos.tempos)
awk -v a="$t_arcos" -v g="$t_gerador" -v v="$t_visualizador" -v b="$(stat -c %s arcos.tap)" 'BEGIN {
    printf "arcos (dez vezes)    %8.3f MB  gerar e conferir %7.1f ms  contra cordas %7.1f ms: %.4f do tempo\n",
           b / 1e6, a * 1e3, (g + v) * 1e3, a / (g + v) }'
