#!/usr/bin/env bash
# Times rosca-visualizar (read, check, draw) on the file rosca-helicoidal has
# just written, beside the generator's own time to write it, in the same run:
# the ten-times job of bench/executar.sh (about 238 MB) in every dialect of
# --comando, and without options. Each pair runs on the processors it gets
# and again pinned to one (taskset -c 0). Then the viewer's peak memory on
# the reference job and on the ten-times one (/usr/bin/time -v), which must
# not grow with the file. Medians of several runs.
#
#   bench/visualizar.sh            # VEZES=5 runs per job and dialect
#
# Builds in build/bench-visualizar (Release). Files go to a temporary
# directory, removed at the end.
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
construcao="$raiz/build/bench-visualizar"
vezes=${VEZES:-5}

cmake -S "$raiz" -B "$construcao" -DCMAKE_BUILD_TYPE=Release -DROSCA_TESTES=OFF >/dev/null
cmake --build "$construcao" -j2 --target rosca-helicoidal rosca-visualizar >/dev/null
gerador="$construcao/rosca-helicoidal"
visualizador="$construcao/rosca-visualizar"
source "$raiz/bench/comum.sh"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
escrever_trabalhos

# medir PREFIXO RESPOSTAS OPCOES...: fills $t_gerador and $t_visualizador
# (medians, s) and $tamanho, the generator and the viewer each run under
# PREFIXO ("" or "taskset -c 0").
medir() {
    local prefixo=$1 respostas=$2 i t0 t1 t2
    shift 2
    : >gerador.tempos
    : >visualizador.tempos
    for ((i = 0; i < vezes; i++)); do
        rm -f f.out f.svg
        t0=$EPOCHREALTIME
        $prefixo "$gerador" "$@" --saida f.out <"$respostas" >/dev/null
        t1=$EPOCHREALTIME
        $prefixo "$visualizador" f.out f.svg >/dev/null
        t2=$EPOCHREALTIME
        segundos "$t0" "$t1" >>gerador.tempos
        segundos "$t1" "$t2" >>visualizador.tempos
    done
    tamanho=$(stat -c %s f.out)
    t_gerador=$(mediana <gerador.tempos)
    t_visualizador=$(mediana <visualizador.tempos)
}

relatar() {
    awk -v nome="$1" -v g="$t_gerador" -v v="$t_visualizador" -v b="$tamanho" 'BEGIN {
        printf "  %-22s %7.1f MB  gerador %7.1f ms  visualizador %7.1f ms  visualizador/gerador %5.2f\n",
               nome, b / 1e6, g * 1e3, v * 1e3, v / g }'
}

# The file without options is today's, written by the fast writer.
sem_opcoes() {
    local prefixo=$1 i t0 t1 t2
    : >gerador.tempos
    : >visualizador.tempos
    for ((i = 0; i < vezes; i++)); do
        rm -f "$tap" f.svg
        t0=$EPOCHREALTIME
        $prefixo "$gerador" <dez_vezes.txt >/dev/null
        t1=$EPOCHREALTIME
        $prefixo "$visualizador" "$tap" f.svg >/dev/null
        t2=$EPOCHREALTIME
        segundos "$t0" "$t1" >>gerador.tempos
        segundos "$t1" "$t2" >>visualizador.tempos
    done
    tamanho=$(stat -c %s "$tap")
    t_gerador=$(mediana <gerador.tempos)
    t_visualizador=$(mediana <visualizador.tempos)
}

for modo in "" "taskset -c 0"; do
    echo "== dez vezes (L 500), medianas de $vezes execucoes${modo:+, $modo}"
    sem_opcoes "$modo"
    relatar "sem opcoes"
    for comando in padrao linuxcnc grbl fanuc heidenhain siemens; do
        medir "$modo" dez_vezes.txt --comando "$comando"
        relatar "--comando $comando"
    done
done

pico() {
    /usr/bin/time -v "$visualizador" "$1" f.svg >/dev/null 2>tempo.txt
    awk -F': ' '/Maximum resident set size/ { print $2 }' tempo.txt
}
"$gerador" <referencia.txt >/dev/null
a=$(pico "$tap")
"$gerador" <dez_vezes.txt >/dev/null
b=$(pico "$tap")
echo "pico de memoria do visualizador: $a KiB (referencia) e $b KiB (dez vezes): diferenca $((b - a)) KiB"
