#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing;
# every script of the project that needs a package goes through here.
#
#   cmake/instalar_pacotes.sh PACKAGE...      (PACKAGE may carry :ARCH)
#
# A mirror that is out of step breaks one index now and then ("File has
# unexpected size ... Mirror sync in progress?"), and apt-get update then
# exits non-zero although nearly every list arrived. So the update is retried
# a few times and then left to the install, which alone knows whether what we
# need is there. Exits 0 when every package is installed; otherwise prints one
# line, "instalar_pacotes: cannot install PACKAGE: REASON", and exits 1.
#
# ROSCA_PACOTES_RECUSADOS="p1 p2" makes those packages unobtainable, so that
# the callers' fallbacks can be tried on a machine where they install fine.
set -uo pipefail

[ $# -gt 0 ] || { echo "usage: $0 PACKAGE..." >&2; exit 2; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

falhar() { echo "instalar_pacotes: cannot install $1: $2" >&2; exit 1; }

instalado() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

faltam=()
for pacote in "$@"; do
    instalado "$pacote" || faltam+=("$pacote")
done
[ ${#faltam[@]} -gt 0 ] || exit 0

for pacote in "${faltam[@]}"; do
    for recusado in ${ROSCA_PACOTES_RECUSADOS:-}; do
        [ "$pacote" != "$recusado" ] || falhar "$pacote" "refused by ROSCA_PACOTES_RECUSADOS"
    done
done

# A package of another architecture needs that architecture's lists.
arquitetura_nova=0
for pacote in "${faltam[@]}"; do
    case $pacote in
    *:*)
        arquitetura=${pacote##*:}
        if [ "$arquitetura" != "$(dpkg --print-architecture)" ] &&
            ! dpkg --print-foreign-architectures | grep -qx "$arquitetura"; then
            $sudo dpkg --add-architecture "$arquitetura"
            arquitetura_nova=1
        fi
        ;;
    esac
done

echo "instalar_pacotes: installing ${faltam[*]}" >&2
# One update serves the calls of one CI run: a failing mirror would otherwise
# cost every call its retries.
marca=${TMPDIR:-/tmp}/rosca-apt-update.stamp
if [ $arquitetura_nova = 1 ] || [ -z "$(find "$marca" -mmin -30 2>/dev/null)" ]; then
    for tentativa in 1 2 3; do
        $sudo apt-get update -q >/dev/null 2>&1 && break
        if [ $tentativa -lt 3 ]; then
            sleep $((tentativa * 5))
        else
            echo "instalar_pacotes: apt-get update failed in part; going on with the lists apt has" >&2
        fi
    done
    touch "$marca"
fi

saida=$(mktemp)
trap 'rm -f "$saida"' EXIT
if $sudo apt-get install -y -q --no-install-recommends "${faltam[@]}" >"$saida" 2>&1; then
    for pacote in "${faltam[@]}"; do
        instalado "$pacote" || falhar "$pacote" "apt-get reported success but it is not installed"
    done
    exit 0
fi

# Which one, and why: each package tried alone, the resolver's first
# complaint about it kept (an unmet dependency says more than the "E:" line).
for pacote in "${faltam[@]}"; do
    if ! apt-get install -s -q --no-install-recommends "$pacote" >"$saida" 2>&1; then
        motivo=$(grep -m1 -E ' : (Pre)?Depends: |has no installation candidate|Unable to locate' "$saida" ||
            grep -m1 '^E: ' "$saida")
        falhar "$pacote" "$(echo "$motivo" | tr -s ' ' | sed 's/^ //')"
    fi
done
falhar "${faltam[*]}" "$(grep -m1 '^E: ' "$saida" || tail -n1 "$saida")"
