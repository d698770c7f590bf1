#!/usr/bin/env bash
# The headless demonstration of `make run`: starts the controller from the build tree's bin/
# on the current display, photographs it in the normal and the extended view and with its Test
# colour dialog open, closes everything and says where the pictures are.
# Run inside a display (scripts/run.sh starts Xvfb and the Wine server for it).
set -euo pipefail
tree="$(cd "$1" && pwd)"
bin="$tree/bin"
shots="$tree/screenshots"
wine=/usr/lib/wine/wine64
driver="$bin/pelmira_demo.exe"
mkdir -p "$shots"

if [ ! -f "$driver" ]; then
  echo "The demonstration driver is not built (pelmira_demo.exe is missing)."
  exit 1
fi

# The demonstration starts from the built-in options and leaves the user's saved ones as they were.
options="$bin/vorlund.ini"
saved=""
if [ -f "$options" ]; then
  saved="$(mktemp)"
  cp "$options" "$saved"
  rm -f "$options"
fi

controller=""
finish() {
  "$wine" "$driver" cancel >/dev/null 2>&1 || true
  "$wine" "$driver" close Pelmira 15000 >/dev/null 2>&1 || true
  if [ -n "$controller" ]; then
    wait "$controller" 2>/dev/null || true
  fi
  rm -f "$options"
  if [ -n "$saved" ]; then
    mv "$saved" "$options"
  fi
}
trap finish EXIT

step() {  # step <what> <driver arguments...>: prints the window rectangle the driver answers
  local what="$1"; shift
  local rect
  if ! rect="$("$wine" "$driver" "$@" | tr -d '\r')"; then
    echo "Demonstration stopped: $what did not happen in time." >&2
    exit 1
  fi
  printf '%s' "$rect"
}

shoot() {  # shoot <file> <WxH+X+Y>: the screen cut to the rectangle, with a small margin
  local file="$1" rect="$2"
  local w h x y
  IFS='x+' read -r w h x y <<<"$rect"
  x=$(( x > 8 ? x - 8 : 0 )); y=$(( y > 8 ? y - 8 : 0 ))
  import -window root -crop "$(( w + 16 ))x$(( h + 16 ))+$x+$y" +repage "$shots/$file"
}

(cd "$bin" && exec "$wine" "$bin/vorlund.exe") &
controller=$!

rect="$(step "the controller's window" wait Pelmira 60000)"
shoot vorlund-normal.png "$rect"

"$wine" "$driver" command Pelmira 403 >/dev/null            # Extension: the palette list
rect="$(step "the extended view" height Pelmira 200 20000)"
shoot vorlund-extended.png "$rect"
import -window root "$shots/screen-extended.png"

"$wine" "$driver" command Pelmira 320 >/dev/null            # Test: a colour dialog of its own
rect="$(step "the Test colour dialog" dialog 30000)"
shoot colour-dialog.png "$rect"
import -window root "$shots/screen-dialog.png"

"$wine" "$driver" cancel >/dev/null
"$wine" "$driver" command Pelmira 403 >/dev/null            # back to the normal view

echo "Screenshots of the controller are in $shots:"
for f in vorlund-normal.png vorlund-extended.png colour-dialog.png screen-extended.png screen-dialog.png; do
  echo "  $shots/$f"
done
