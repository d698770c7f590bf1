#!/usr/bin/env bash
# The headless demonstration of `make run`: puts the sample palettes into bin/palettes, starts
# the controller from the build tree's bin/ on that folder, photographs it in the normal view and
# in the extended view (the palette list, one palette's colours in the colour buttons), opens its
# Test colour dialog, loads another sample palette into it through the dialog's load button,
# photographs that, closes everything and says where the pictures are.
# Run inside a display (scripts/run.sh starts Xvfb and the Wine server for it).
set -euo pipefail
tree="$(cd "$1" && pwd)"
bin="$tree/bin"
shots="$tree/screenshots"
wine=/usr/lib/wine/wine64
driver="$bin/pelmira_demo.exe"
here="$(cd "$(dirname "$0")" && pwd)"
palettes="$bin/palettes"
mkdir -p "$shots"
rm -rf "$palettes"
mkdir -p "$palettes"
cp "$here"/../resources/palettes/*.pli "$palettes/"
shown=Harbour.pli     # selected in the controller's list
loaded=Meadow.pli     # loaded into the Test dialog

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
  rm -rf "$palettes"
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

# A palette file named on the command line opens its folder with that palette selected. The driver
# runs in bin/ as well, so it can name the palette it loads relative to it.
cd "$bin"
"$wine" "$bin/vorlund.exe" "palettes\\$shown" &
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

rect="$(step "loading $loaded into the Test dialog" load "palettes\\$loaded" 30000)"
shoot colour-dialog-palette.png "$rect"
import -window root "$shots/screen-dialog.png"

"$wine" "$driver" cancel >/dev/null
"$wine" "$driver" command Pelmira 403 >/dev/null            # back to the normal view

echo "Screenshots of the controller are in $shots:"
for f in vorlund-normal.png vorlund-extended.png colour-dialog.png colour-dialog-palette.png screen-extended.png \
         screen-dialog.png; do
  echo "  $shots/$f"
done
