#!/usr/bin/env bash
# Runs every test of the x86_64 build tree under Wine in one Xvfb server.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
exec bash "$here/with-display.sh" "$tree" ctest --test-dir "$tree" --output-on-failure --timeout 300
