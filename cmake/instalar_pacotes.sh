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
# Another apt or dpkg at work (a fresh machine's own upgrades, another job)
# holds apt's locks: both apt-get calls wait for them, five minutes at most,
# instead of failing at once.
#
# ROSCA_PACOTES_RECUSADOS="p1 p2" makes those packages unobtainable, so that
# the callers' fallbacks can be tried on a machine where they install fine.
# ROSCA_APT_ESPERA=SECONDS sets how long apt's locks are waited for (300), so
# that a held lock can be tried without waiting the whole time.
set -uo pipefail

[ $# -gt 0 ] || { echo "usage: $0 PACKAGE..." >&2; exit 2; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

falhar() { echo "instalar_pacotes: cannot install $1: $2" >&2; exit 1; }

espera=${ROSCA_APT_ESPERA:-300}
apt=(apt-get -o "DPkg::Lock::Timeout=$espera")

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
saida=$(mktemp)
simulacao=$(mktemp)
trap 'rm -f "$saida" "$simulacao"' EXIT

# apt-get update takes the lists' lock, which DPkg::Lock::Timeout does not
# cover (apt 2.6 fails at once): another update holding it is waited for here.
atualizar() {
    local limite=$((SECONDS + espera))
    until $sudo "${apt[@]}" update -q >"$saida" 2>&1; do
        grep -q '^E: .*/var/lib/apt/lists/lock' "$saida" && [ $SECONDS -lt $limite ] || return 1
        sleep 5
    done
}

# One update serves the calls of one CI run: a failing mirror would otherwise
# cost every call its retries.
marca=${TMPDIR:-/tmp}/rosca-apt-update.stamp
if [ $arquitetura_nova = 1 ] || [ -z "$(find "$marca" -mmin -30 2>/dev/null)" ]; then
    for tentativa in 1 2 3; do
        atualizar && break
        if [ $tentativa -lt 3 ]; then
            sleep $((tentativa * 5))
        else
            echo "instalar_pacotes: apt-get update failed in part; going on with the lists apt has" >&2
        fi
    done
    touch "$marca"
fi

if $sudo "${apt[@]}" install -y -q --no-install-recommends "${faltam[@]}" >"$saida" 2>&1; then
    for pacote in "${faltam[@]}"; do
        instalado "$pacote" || falhar "$pacote" "apt-get reported success but it is not installed"
    done
    exit 0
fi

# Which one, and why: each package tried alone, the resolver's first
# complaint about it kept (an unmet dependency says more than the "E:" line).
for pacote in "${faltam[@]}"; do
    if ! apt-get install -s -q --no-install-recommends "$pacote" >"$simulacao" 2>&1; then
        motivo=$(grep -m1 -E ' : (Pre)?Depends: |has no installation candidate|Unable to locate' "$simulacao" ||
            grep -m1 '^E: ' "$simulacao")
        falhar "$pacote" "$(echo "$motivo" | tr -s ' ' | sed 's/^ //')"
    fi
done
# Each would install alone: the install itself failed (a lock held past the
# wait, a download, dpkg), and apt's own error line says how.
falhar "${faltam[*]}" "$(grep -m1 '^E: ' "$saida" || tail -n1 "$saida")"
