#!/usr/bin/env bash
# The Windows side of the console layer on a real Windows console: Wine's,
# shown on a tmux pseudo-terminal, whose screen is read back as a person sees
# it. Run by .ci/run in its Wine stage, inside the Wine prefix it made.
#
#   tests/console_windows.sh WINE PROGRAM.exe LINUX_PROGRAM
#
# WINE starts a Windows program (/usr/lib/wine/wine, or wine64 for an x86-64
# build); LINUX_PROGRAM is the Linux build, whose file the Windows one must
# match byte for byte.
set -euo pipefail

wine=$1
exe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
linux=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
command -v tmux >/dev/null || { echo "tmux is needed" >&2; exit 1; }

dir=$(mktemp -d)
socket=rosca-console-$$
export LANG=C.UTF-8
encerrar() {
    tmux -L "$socket" kill-server 2>/dev/null || true
    rm -rf "$dir"
}
trap encerrar EXIT

falhas=0
falhar() {
    echo "FALHOU: $caso: $*" >&2
    echo "--- tela:" >&2
    tela >&2
    falhas=$((falhas + 1))
}

# iniciar COMMAND...: a fresh run in the test directory, on a terminal of its
# own; the exit status lands in $dir/status when it ends.
iniciar() {
    tmux -L "$socket" kill-server 2>/dev/null || true
    rm -f "$dir/status"
    local comando tentativa
    printf -v comando '%q ' "$@"
    # The server just killed may still be on its way out, and a new session
    # that reaches it then fails ("server exited unexpectedly"): try again.
    for tentativa in 1 2 3 4 5; do
        tmux -L "$socket" new-session -d -x 120 -y 60 \
            "cd '$dir' && $comando; echo \$? > '$dir/status'; sleep 600" && return 0
        sleep 0.5
    done
    return 1
}
tela() { tmux -L "$socket" capture-pane -p -J -S -2000 -t 0 | sed 's/[[:space:]]*$//'; }
teclas() { tmux -L "$socket" send-keys -t 0 "$@"; }
terminou() { [ -s "$dir/status" ]; }

# esperar TEXT [SECONDS]: until TEXT is on the screen (the screen keeps no
# blanks at the ends of its lines, so neither does TEXT).
esperar() {
    local limite=$((SECONDS + ${2:-30})) alvo="${1%"${1##*[![:space:]]}"}"
    until tela | grep -qF -- "$alvo"; do
        [ $SECONDS -lt $limite ] || { falhar "nao apareceu: $1"; return 1; }
        sleep 0.2
    done
}
esperar_fim() {
    local limite=$((SECONDS + ${1:-30}))
    until terminou; do
        [ $SECONDS -lt $limite ] || { falhar "o programa nao terminou"; return 1; }
        sleep 0.2
    done
}
# Still waiting after a while: a pause that does not wait would have ended.
continua_esperando() {
    sleep 2
    ! terminou || { falhar "nao esperou uma tecla: $1"; return 1; }
}

# responder: one answer per prompt, keys without Enter once their question shows.
numero() { esperar "$1" && teclas -l -- "$2" && teclas Enter; }
tecla() { esperar "$1" && teclas -l -- "$2"; }

caso="tecla sem Enter, letras acentuadas e pausa final"
iniciar "$wine" "$exe"
if tecla "[I / E]: " I && esperar "Entre com o Diametro Final da rosca [mm]: "; then
    # Echoed once, by the key read itself, and taken without Enter.
    tela | grep -qx 'Entre com o Tipo de Rosca: Interna ou Externa \[I / E\]: I' ||
        falhar "a tecla nao aparece uma vez so"
    numero "Diametro Final da rosca [mm]: " 20 &&
        numero "[Diametro do Blank p/ rosca em mais de um passe]: " 0 &&
        numero "Diametro da Ferramenta [mm]: " -1 &&
        esperar "Diametro da Ferramenta não pode ser NEGATIVO" &&
        teclas -l 10 && teclas Enter &&
        numero "Profundidade (L) da rosca [mm]: " 2 &&
        numero "passo da rosca (1 fio) [mm]: " 1 &&
        tecla "Esquerda >> sentido Anti-Horario" D &&
        numero "(digite '0' p/ PADRAO=0): " 0 &&
        numero "rotacao do spindle [rpm]: " 1000 &&
        esperar '(digite "0" p/ PADRÃO - FEED = RPM*0.05)' &&
        numero "(digite .1 p/ FEED = RPM*0.1)" 200 &&
        esperar "com sucesso!" && continua_esperando "pausa final" &&
        teclas -l x && esperar_fim &&
        { [ "$(cat "$dir/status")" = 0 ] || falhar "status $(cat "$dir/status")"; }
    printf 'I\n20\n0\n10\n2\n1\nD\n0\n1000\n200\n' >"$dir/respostas.txt"
    mkdir -p "$dir/linux"
    (cd "$dir/linux" && "$linux" <../respostas.txt >/dev/null)
    cmp -s "$dir/ROSCA-HELICOIDAL_PARALELA.TAP" "$dir/linux/ROSCA-HELICOIDAL_PARALELA.TAP" ||
        falhar "o arquivo difere do programa Linux"
fi

caso="pausa do aviso #010"
rm -f "$dir/ROSCA-HELICOIDAL_PARALELA.TAP"
iniciar "$wine" "$exe"
tecla "[I / E]: " I &&
    numero "Diametro Final da rosca [mm]: " 20 &&
    numero "[Diametro do Blank p/ rosca em mais de um passe]: " 15 &&
    numero "Passo Lateral (do filete) da rosca [mm]: " 1 &&
    numero "(digite '0' p/ DESABILITAR): " 0 &&
    numero "Diametro da Ferramenta [mm]: " 10 &&
    numero "Profundidade (L) da rosca [mm]: " 2 &&
    numero "passo da rosca (1 fio) [mm]: " 1 &&
    tecla "Esquerda >> sentido Anti-Horario" D &&
    numero "(digite '0' p/ PADRAO=0): " 0 &&
    numero "rotacao do spindle [rpm]: " 1000 &&
    numero "(digite .1 p/ FEED = RPM*0.1)" 200 &&
    esperar "passo_lateral: 0.750" && continua_esperando "aviso #010" &&
    { ! tela | grep -qF "Rosca [INTERNA]" || falhar "o resumo seguiu sem esperar"; } &&
    teclas -l x && esperar "com sucesso!" && teclas -l x && esperar_fim &&
    { [ "$(cat "$dir/status")" = 0 ] || falhar "status $(cat "$dir/status")"; }

caso="pagina de codigo ajustada para a execucao e devolvida"
# The console's output page, shown before and after a run in the same console
# by a one-line program of the test's own (cmd keeps its own copy of it).
# Built for the program's own processor: a 64-bit Wine may lack the 32-bit side.
mingw=i686-w64-mingw32
objdump -f "$exe" 2>/dev/null | grep -q 'pei-x86-64' && mingw=x86_64-w64-mingw32
cc=$(command -v $mingw-gcc-win32 || command -v $mingw-gcc)
printf '#include <windows.h>\n#include <stdio.h>\nint main(void) { printf("pagina=%%u\\n", GetConsoleOutputCP()); return 0; }\n' >"$dir/pagina.c"
"$cc" -o "$dir/pagina.exe" "$dir/pagina.c"
printf 'I\n20\n0\n-1\n10\n2\n1\nD\n0\n1000\n200\n' >"$dir/respostas.txt"
printf '@pagina.exe\r\n@"%s" < respostas.txt\r\n@pagina.exe\r\n' \
    "$("$wine" winepath -w "$exe" 2>/dev/null)" >"$dir/pagina.bat"
iniciar "$wine" cmd /c pagina.bat
if esperar_fim; then
    paginas=$(tela | grep '^pagina=' | tr '\n' ' ')
    tela | grep -qF "não pode ser NEGATIVO" || falhar "sem 'ã' durante a execucao"
    set -- $paginas
    [ $# -eq 2 ] && [ "$1" = "$2" ] || falhar "pagina nao devolvida: $paginas"
fi

caso="Ctrl-C na pergunta de tecla"
iniciar "$wine" "$exe"
if esperar "[I / E]: "; then
    teclas C-c
    if esperar_fim 15; then
        [ "$(cat "$dir/status")" != 0 ] || falhar "interrompido com status 0"
        ! tela | grep -qF "Diametro Final" || falhar "o dialogo seguiu"
    fi
fi

caso="ajuda numa janela propria espera uma tecla, num interpretador nao"
iniciar "$wine" "$exe" --help
esperar "Uso: rosca-helicoidal" && continua_esperando "ajuda" && teclas -l x && esperar_fim &&
    { [ "$(cat "$dir/status")" = 0 ] || falhar "status $(cat "$dir/status")"; }
iniciar "$wine" cmd /c "$("$wine" winepath -w "$exe" 2>/dev/null)" --help
esperar_fim 15 && { [ "$(cat "$dir/status")" = 0 ] || falhar "status $(cat "$dir/status")"; }

if [ "$falhas" -gt 0 ]; then
    echo "$falhas caso(s) do console do Windows falharam" >&2
    exit 1
fi
echo "console do Windows: todos os casos passaram"
