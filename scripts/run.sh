#!/usr/bin/env bash
# Starts the controller. Without a display: a headless demonstration that saves screenshots.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -f "$tree/bin/vorlund.exe" ]; then
  echo "The controller is not built yet (vorlund.exe is missing)."
  exit 0
fi
if [ -n "${DISPLAY:-}" ]; then
  PELMIRA_USE_DISPLAY=1 exec bash "$here/with-display.sh" "$tree" /usr/lib/wine/wine64 "$tree/bin/vorlund.exe"
fi
exec bash "$here/with-display.sh" "$tree" bash "$here/demo.sh" "$tree"
