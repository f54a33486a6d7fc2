# What the benchmark scripts share: the jobs and the arithmetic of the
# timings. Sourced, in the temporary directory the script works in.

tap=ROSCA-HELICOIDAL_PARALELA.TAP

# The reference job: internal, 21 passes of 100 turns, 756,000 g01 lines,
# about 23 MB. The same with length 500: ten times the lines.
escrever_trabalhos() {
    printf 'I\n100\n60\n1\n0.5\n20\n50\n0.5\nD\n0\n1000\n200\n' >referencia.txt
    printf 'I\n100\n60\n1\n0.5\n20\n500\n0.5\nD\n0\n1000\n200\n' >dez_vezes.txt
}

mediana() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Seconds between two $EPOCHREALTIME readings (no process started to read the clock).
segundos() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f\n", b - a }'; }
