#!/usr/bin/env bash
# Times the whole program on the reference job and on one ten times larger,
# side by side with `cp` of the file each run wrote, and the program with the
# plain writer on the reference job; then runs the Google Benchmark of the pass
# generator. Medians of several runs.
#
#   bench/executar.sh            # VEZES=9 runs per job, 3 of the straightforward program
#   VEZES=15 bench/executar.sh
#
# Builds in build/bench (Release, ROSCA_BENCH=ON). Uses /usr/bin/time for the
# peak memory. The files are written in a temporary directory, removed at the end.
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
construcao="$raiz/build/bench"
vezes=${VEZES:-9}
vezes_referencia=${VEZES_REFERENCIA:-3}

cmake -S "$raiz" -B "$construcao" -DCMAKE_BUILD_TYPE=Release -DROSCA_BENCH=ON -DROSCA_TESTES=OFF >/dev/null
cmake --build "$construcao" -j2 >/dev/null

programa="$construcao/rosca-helicoidal"
referencia="$construcao/bench/rosca-helicoidal-referencia"
bench="$construcao/bench/rosca_bench"
source "$raiz/bench/comum.sh"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
escrever_trabalhos

# medir PROGRAMA RESPOSTAS VEZES: fills $tempo_programa, $tempo_cp (medians,
# seconds), $tamanho (bytes), $linhas and $rss (median peak, KiB). Every run
# starts without the file, as cp starts without its copy.
medir() {
    local prog=$1 respostas=$2 n=$3 i t0 t1 t2
    : >programa.tempos
    : >cp.tempos
    : >rss.valores
    for ((i = 0; i < n; i++)); do
        rm -f "$tap" copia.tap
        t0=$EPOCHREALTIME
        "$prog" <"$respostas" >/dev/null
        t1=$EPOCHREALTIME
        cp "$tap" copia.tap
        t2=$EPOCHREALTIME
        segundos "$t0" "$t1" >>programa.tempos
        segundos "$t1" "$t2" >>cp.tempos
    done
    tamanho=$(stat -c %s "$tap")
    linhas=$(wc -l <"$tap")
    rm -f copia.tap
    for ((i = 0; i < 3; i++)); do
        rm -f "$tap"
        /usr/bin/time -v "$prog" <"$respostas" >/dev/null 2>tempo.txt
        awk -F': ' '/Maximum resident set size/ { print $2 }' tempo.txt >>rss.valores
    done
    tempo_programa=$(mediana <programa.tempos)
    tempo_cp=$(mediana <cp.tempos)
    rss=$(mediana <rss.valores)
}

relatar() {
    awk -v nome="$1" -v t="$tempo_programa" -v c="$tempo_cp" -v b="$tamanho" -v l="$linhas" -v r="$rss" 'BEGIN {
        printf "%-22s %8.1f MB %10d linhas  %8.1f ms  %7.0f MB/s  %9.2f Mlinhas/s  cp %7.1f ms  programa/cp %5.2f  pico %7d KiB\n",
               nome, b / 1e6, l, t * 1e3, b / 1e6 / t, l / 1e6 / t, c * 1e3, t / c, r }'
}

echo "== Programa inteiro (medianas de $vezes execucoes; cp do arquivo gravado, lado a lado)"
medir "$programa" referencia.txt "$vezes"
relatar "referencia"
rapido_referencia=$tempo_programa
rss_referencia=$rss
cp "$tap" rapido.tap

medir "$programa" dez_vezes.txt "$vezes"
relatar "dez vezes (L 500)"
rss_dez_vezes=$rss

echo
echo "== Escrita simples (printf e seno/cosseno por ponto), $vezes_referencia execucoes"
medir "$referencia" referencia.txt "$vezes_referencia"
relatar "referencia, simples"
if cmp -s "$tap" rapido.tap; then
    echo "arquivos identicos byte a byte"
else
    echo "ERRO: os arquivos diferem" >&2
    exit 1
fi

echo
awk -v d="$tempo_programa" -v r="$rapido_referencia" -v a="$rss_referencia" -v b="$rss_dez_vezes" 'BEGIN {
    printf "aceleracao do programa inteiro: %.1fx\n", d / r
    printf "pico de memoria: %d KiB (referencia) e %d KiB (dez vezes): diferenca %d KiB\n", a, b, b - a }'

echo
echo "== Google Benchmark do gerador (destino que descarta)"
"$bench" --benchmark_min_time=0.5
