#!/usr/bin/env bash
# Runs every benchmark program of the x86_64 tree under Wine and prints its figures.
#
# Every call a Wine program makes to the Wine server, and every message between processes, wakes
# another process. On a machine whose idle CPUs are slow to wake (virtual machines often are),
# that wake-up costs more than the call itself when the woken process sits on the other CPU: the
# same dialog opens in 25 ms on one CPU and in 50 ms, swinging by a factor of two with whatever
# else runs, on two. So the benches run with everything they start (Xvfb, the Wine server, the
# programs) on one CPU, where the figures hold still and show what the programs cost;
# PELMIRA_BENCH_CPUS=all runs them on every CPU instead.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
progs=$(ls "$tree"/bin/bench_*.exe 2>/dev/null || true)
[ -n "$progs" ] || { echo "No benchmark programs are built yet."; exit 0; }
pin=()
if [ "${PELMIRA_BENCH_CPUS:-1}" = 1 ] && command -v taskset >/dev/null 2>&1; then
  pin=(taskset -c "$(taskset -pc $$ | sed 's/.*: //; s/[,-].*//')")
  echo "bench_cpus: 1 cpus"
else
  echo "bench_cpus: $(nproc) cpus"
fi
"${pin[@]}" bash "$here/with-display.sh" "$tree" bash -c 'for p in "$@"; do echo "== $(basename "$p")"; /usr/lib/wine/wine64 "$p"; done' bench $progs
