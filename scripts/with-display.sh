#!/usr/bin/env bash
# Runs a command with a display: the user's own when there is one, otherwise a private Xvfb.
# A persistent wineserver for the build tree's prefix is kept for the duration.
set -euo pipefail
tree="$1"; shift
export WINEPREFIX="$(cd "$tree" && pwd)/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX (first run only)..."
fi
bash "$here/wine-prefix.sh" --wait
if [ "${PELMIRA_USE_DISPLAY:-}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  exec bash "$here/with-wineserver.sh" "$@"
fi
# Under a private Xvfb there is no window manager; Wine then waits about two seconds for every
# framed window it withdraws unless its windows are unmanaged.
export PELMIRA_UNMANAGED=1
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/with-wineserver.sh" "$@"
