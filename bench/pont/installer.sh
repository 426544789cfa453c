#!/bin/sh
# Installs the web terminal bridge the load benchmark compares korva-web with (wetty, at the
# version bench/pont/package-lock.json pins) into the folder named, by `npm ci`, again only when
# the lock file changed. Never shipped: `make bench-charge` alone runs it. A failure is said and
# left to the benchmark, which reports the bridge as not had.
set -u
dossier=$1
source=$(dirname "$0")
if [ -f "$dossier/node_modules/.package-lock.json" ] && cmp -s "$source/package-lock.json" "$dossier/package-lock.json"; then
    exit 0
fi
mkdir -p "$dossier" && cp "$source/package.json" "$source/package-lock.json" "$dossier/" || exit 0
# node-pty is compiled on the spot: against the headers of the node installed, where it has them.
if [ -f /usr/include/node/node.h ]; then
    export npm_config_nodedir=/usr
fi
(cd "$dossier" && npm ci --no-audit --no-fund --loglevel=error) ||
    echo "bench-charge: npm ci of the bridge failed; the benchmark reports it as not had" >&2
exit 0
