#!/usr/bin/env bash
# Keeps one persistent wineserver for the prefix while the command runs (saves its start per
# program). Wine's helper processes (services, explorer) are started here, detached from any
# pipe, so that a test runner does not wait on them after its test program has ended.
/usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null || true
/usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null || true
key='HKCU\Software\Wine\X11 Driver'
if [ "${PELMIRA_UNMANAGED:-}" = 1 ]; then
  /usr/lib/wine/wine64 reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null || true
else
  /usr/lib/wine/wine64 reg delete "$key" /v Managed /f >/dev/null 2>&1 </dev/null || true
fi
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true
rc=0
"$@" || rc=$?
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
exit $rc
