#!/usr/bin/env bash
# Runs every benchmark program of the x86_64 tree under Wine and prints its figures.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
progs=$(ls "$tree"/bin/bench_*.exe 2>/dev/null || true)
[ -n "$progs" ] || { echo "No benchmark programs are built yet."; exit 0; }
bash "$here/with-display.sh" "$tree" bash -c 'for p in "$@"; do echo "== $(basename "$p")"; /usr/lib/wine/wine64 "$p"; done' bench $progs
