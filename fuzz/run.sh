#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs each for half the given
# time: the generator on arbitrary answers, from the seed answer files in
# fuzz/corpus/, then the viewer on arbitrary files, from the seed files in
# fuzz/corpus_visualizar/. Fails on any finding: a crash, a sanitizer report, a
# leak, a broken promise of the program (the target traps), a slow input or an
# out-of-memory. New inputs go to scratch corpora, so the seeds in the
# repository stay as they are; findings go to build/fuzz/achados/.
#
# Usage: fuzz/run.sh [SECONDS] [extra libFuzzer flags, for both targets...]
set -euo pipefail
cd "$(dirname "$0")/.."

segundos="${1:-60}"
shift $(($# > 0 ? 1 : 0))

# libFuzzer lives in clang's runtime package; install both when missing.
tem_libfuzzer() {
    command -v clang++ >/dev/null 2>&1 &&
        echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
            clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - >/dev/null 2>&1
}
tem_libfuzzer || cmake/instalar_pacotes.sh clang libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

achados=build/fuzz/achados
rm -rf "$achados"
mkdir -p "$achados"
rascunho=$(mktemp -d)
trap 'rm -rf "$rascunho"' EXIT
mkdir "$rascunho/programa" "$rascunho/visualizar"
metade=$(((segundos + 1) / 2))

# One process at a time: the machine is shared. Slow inputs count as findings.
./build/fuzz/fuzz/rosca_fuzz \
    -max_total_time="$metade" -timeout=20 -rss_limit_mb=2048 -max_len=1024 \
    -dict=fuzz/respostas.dict -artifact_prefix="$achados/programa-" -print_final_stats=1 \
    "$@" "$rascunho/programa" fuzz/corpus
./build/fuzz/fuzz/rosca_fuzz_visualizar \
    -max_total_time="$metade" -timeout=20 -rss_limit_mb=2048 -max_len=16384 \
    -dict=fuzz/gcode.dict -artifact_prefix="$achados/visualizar-" -print_final_stats=1 \
    "$@" "$rascunho/visualizar" fuzz/corpus_visualizar
