#!/usr/bin/env bash
# The packages as a machinist gets them. Builds both (preset "pacote"),
# installs the Debian package on this machine, runs the installed programs on
# the example answer file in a fresh directory, checks the Windows zip's
# contents, and removes the package again. Run by .ci/run, as root or with sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
falhar() { echo "pacotes: $*" >&2; exit 1; }

rm -rf build/pacote
cmake --workflow --preset pacote
deb=$(ls build/pacote/rosca-helicoidal_*.deb)
zip=$(ls build/pacote/rosca-helicoidal-*-win32.zip)

# The zip: one folder with both programs and the two texts, nothing else.
conteudo=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | sort | tr '\n' ' ')
[ "$conteudo" = "README.txt respostas-exemplo.txt rosca-helicoidal.exe rosca-visualizar.exe " ] ||
    falhar "zip holds: $conteudo"

dpkg -s rosca-helicoidal >/dev/null 2>&1 && falhar "rosca-helicoidal is installed already"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y "./$deb"
remover() { $sudo apt-get remove -y rosca-helicoidal >/dev/null 2>&1 || true; }
trap remover EXIT

for programa in rosca-helicoidal rosca-visualizar; do
    [ "$(command -v "$programa")" = "/usr/bin/$programa" ] || falhar "$programa is not on the PATH"
    [ -s "/usr/share/man/man1/$programa.1.gz" ] || falhar "no man page for $programa"
    "$programa" --version | grep -qx "$programa [0-9.]*" || falhar "$programa --version"
done
exemplo=/usr/share/doc/rosca-helicoidal/respostas-exemplo.txt
[ -s "$exemplo" ] && [ -s /usr/share/doc/rosca-helicoidal/README.md ] || falhar "documentation missing"

dir=$(mktemp -d)
trap 'remover; rm -rf "$dir"' EXIT
(cd "$dir" && rosca-helicoidal <"$exemplo" >console.txt) || falhar "rosca-helicoidal ended with $?"
tail -c 5 "$dir/ROSCA-HELICOIDAL_PARALELA.TAP" | cmp -s - <(printf 'M30\r\n') || falhar "the file does not end in M30"
(cd "$dir" && rosca-visualizar >relatorio.txt) || falhar "rosca-visualizar ended with $?"
[ -s "$dir/ROSCA-HELICOIDAL_PARALELA.svg" ] || falhar "no picture"

$sudo apt-get remove -y rosca-helicoidal
command -v rosca-helicoidal >/dev/null && falhar "still on the PATH after removal"
echo "pacotes: the Debian package installs, runs and goes; the zip holds the programs"
