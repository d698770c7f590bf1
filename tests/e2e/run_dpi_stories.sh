#!/usr/bin/env bash
# Runs dpi_stories.exe at 96, 120, 144 and 192 DPI, each in a Wine prefix of its own under the
# build tree. Wine reads LogPixels when its first program starts, so each prefix gets its value
# when it is made (once; later runs reuse it) and its wineserver is stopped before the stories.
# Usage: run_dpi_stories.sh <bin folder> <build tree>
set -uo pipefail
bin="$1"; tree="$2"
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
managed='HKCU\Software\Wine\X11 Driver'
here="$(cd "$(dirname "$0")" && pwd)"
status=0
for dpi in ${PELMIRA_DPI_LIST:-96 120 144 192}; do
  export WINEPREFIX="$tree/wineprefix-dpi$dpi"
  if [ ! -f "$WINEPREFIX/pelmira-dpi" ]; then
    echo "Preparing the Wine prefix for $dpi DPI (first run only)..."
    rm -rf "$WINEPREFIX"
    bash "$here/../../scripts/wine-prefix.sh"
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
    "$server" -k; "$server" -w
    echo "$dpi" > "$WINEPREFIX/pelmira-dpi"
  fi
  bash "$here/../../scripts/wine-prefix.sh" --wait  # caption glyphs for prefixes made before it
  "$server" -p >/dev/null 2>&1 </dev/null || true
  "$wine" wineboot >/dev/null 2>&1 </dev/null || true
  # As the other tests' prefix: without a window manager, unmanaged windows hide at once.
  if [ "${PELMIRA_UNMANAGED:-}" = 1 ]; then
    "$wine" reg add "$managed" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null || true
  else
    "$wine" reg delete "$managed" /v Managed /f >/dev/null 2>&1 </dev/null || true
  fi
  echo "=== $dpi DPI ==="
  (cd "$bin" && PELMIRA_TEST_DPI="$dpi" "$wine" ./dpi_stories.exe --gtest_brief=1) || status=1
  "$server" -k >/dev/null 2>&1 || true
  "$server" -w >/dev/null 2>&1 || true
done
exit $status
