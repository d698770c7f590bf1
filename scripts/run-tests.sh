#!/usr/bin/env bash
# Runs every test of the x86_64 build tree under Wine in one Xvfb server. Programs that share
# nothing run two at a time; the others (RUN_SERIAL, see tests/CMakeLists.txt) run alone.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
exec bash "$here/with-display.sh" "$tree" ctest --test-dir "$tree" --output-on-failure --timeout 300 -j2
