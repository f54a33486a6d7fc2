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

# The zip: one folder with both programs, the two texts and the manual with
# its pictures, nothing else.
manual=$(cd docs && ls manual/*.md imagens/*.png imagens/*.svg | sed 's|^|docs/|')
esperado=$(printf '%s\n' README.txt respostas-exemplo.txt rosca-helicoidal.exe rosca-visualizar.exe $manual |
    LC_ALL=C sort | tr '\n' ' ')
conteudo=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
[ "$conteudo" = "$esperado" ] || falhar "zip holds: $conteudo"
pasta_zip=$(mktemp -d)
zip_inteiro="$PWD/$zip"
(cd "$pasta_zip" && cmake -E tar xf "$zip_inteiro")
capitulo=$(ls "$pasta_zip"/*/docs/manual/01-*.md)
grep -q $'\r$' "$capitulo" || falhar "the zip's manual does not have CR LF line ends"
rm -rf "$pasta_zip"

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
for arquivo in $manual; do
    cmp -s "$arquivo" "/usr/share/doc/rosca-helicoidal/$arquivo" || falhar "$arquivo not installed as it is"
done

dir=$(mktemp -d)
trap 'remover; rm -rf "$dir"' EXIT
(cd "$dir" && rosca-helicoidal <"$exemplo" >console.txt) || falhar "rosca-helicoidal ended with $?"
tail -c 5 "$dir/ROSCA-HELICOIDAL_PARALELA.TAP" | cmp -s - <(printf 'M30\r\n') || falhar "the file does not end in M30"
(cd "$dir" && rosca-visualizar >relatorio.txt) || falhar "rosca-visualizar ended with $?"
[ -s "$dir/ROSCA-HELICOIDAL_PARALELA.svg" ] || falhar "no picture"

$sudo apt-get remove -y rosca-helicoidal
command -v rosca-helicoidal >/dev/null && falhar "still on the PATH after removal"
echo "pacotes: the Debian package installs, runs and goes; the zip holds the programs"
