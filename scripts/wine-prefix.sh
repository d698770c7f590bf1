#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX on first use, and gives it Wine's Marlett font.
# Window captions draw their minimise, maximise and close glyphs with Marlett. Debian's
# fonts-wine puts it in /usr/share/wine/fonts, which this Wine 8 does not read (its font list
# comes from the registry's Fonts key, the prefix's windows\Fonts and fontconfig), so captions
# show the letters "0 1 r" instead. The font is copied into the prefix and registered there;
# prefixes made before fonts-wine was installed get it on their next use.
#   WINEPREFIX=... scripts/wine-prefix.sh [--wait]
# --wait: when something was done, wait for the prefix's wine server to end (and save the
# registry) before answering. Not for callers that run under a persistent server, which never ends.
set -u
wine=/usr/lib/wine/wine64
changed=0
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
  changed=1
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for marlett in /usr/share/wine/fonts/marlett.ttf /usr/local/share/wine/fonts/marlett.ttf; do
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
      /t REG_SZ /d marlett.ttf /f >/dev/null 2>&1 </dev/null || true
    # Copied last: the file is what tells a later run that the prefix has the font.
    cp "$marlett" "$fonts/marlett.ttf.part" && mv -f "$fonts/marlett.ttf.part" "$fonts/marlett.ttf"
    changed=1
    break
  fi
done
if [ "$changed" = 1 ] && [ "${1:-}" = --wait ]; then
  /usr/lib/wine/wineserver -w || true
fi
exit 0
