#!/usr/bin/env bash
# Runs every test of the x86_64 build tree under Wine in one Xvfb server. Programs that share
# nothing run two at a time; the others (RUN_SERIAL, see tests/CMakeLists.txt) run alone.
set -euo pipefail
tree="$1"
here="$(cd "$(dirname "$0")" && pwd)"
# ctest orders a parallel run by the durations it remembers and starts the last run's failures
# first. Some end-to-end programs are not yet independent of what ran before them in the same
# Wine session (the colour-dialog programs after the controller's start-up program, the palette
# library as the session's first program), so every run keeps the order the programs are declared in.
rm -f "$tree/Testing/Temporary/CTestCostData.txt" "$tree/Testing/Temporary/LastTestsFailed.log"
exec bash "$here/with-display.sh" "$tree" ctest --test-dir "$tree" --output-on-failure --timeout 300 -j2
