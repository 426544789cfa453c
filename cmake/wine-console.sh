#!/usr/bin/env bash
# Runs a Windows program under Wine for the cross build's tests:
#   wine-console.sh WINE PREFIX PROGRAM [ARGUMENTS...]
# Wine gives a program a console only when its input is a terminal, so the program's input is
# a pseudo-terminal of its own (util-linux `script`) where there is one; its output and errors
# still go where this script's go, and its exit status is kept.
set -euo pipefail
wine=$1 prefix=$(realpath -m "$2")
shift 2
export WINEPREFIX=$prefix WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
if command -v script >/dev/null 2>&1; then
    printf -v commande '%q ' "$wine" "$@"
    exec 3>&1 4>&2
    exec script --quiet --return --command "$commande >&3 2>&4 3>&- 4>&-" /dev/null \
        </dev/null >/dev/null 2>&1
fi
exec "$wine" "$@"
