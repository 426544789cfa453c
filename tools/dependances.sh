#!/bin/sh
# Installs the Debian packages named on the command line when they are missing: as root, or
# through sudo when it needs no password; otherwise prints the one command that does it. On a
# system without dpkg it says nothing and lets the build find what it needs.
set -eu
command -v dpkg-query >/dev/null 2>&1 || exit 0
manquants=""
for paquet in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$paquet" 2>/dev/null | grep -q 'ok installed'; then
        manquants="$manquants $paquet"
    fi
done
[ -n "$manquants" ] || exit 0
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo="sudo"
else
    echo "KORVA needs these Debian packages:$manquants" >&2
    echo "Install them with: sudo apt-get install -y$manquants" >&2
    exit 1
fi
echo "Installing$manquants"
# shellcheck disable=SC2086 # one word per package
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $manquants
