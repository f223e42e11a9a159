#!/usr/bin/env bash
# Screenshots of the phrase editor on a Wine desktop at a given scale: Vellix.exe /edit in a
# fresh program folder with the example database, in its own Wine prefix whose LogPixels is
# set to the scale's dots per inch.
# Usage: scripts/editor-screenshots.sh DPI OUTPUT.png [BUILD_DIR]   (96 = 100 %, 144 = 150 %)
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/screenshot_lib.sh" "$@"
vx_settings 'Sounds=0'
(cd "$VX_DIR" && wine explorer /desktop=VellixShot,1280x1024 ./Vellix.exe /edit </dev/null >/dev/null 2>&1) &
E2E_PIDS+=("$!")
# The editor lives on the desktop window of explorer, where win-message cannot see it: wait
# for the start record of the log, then give the editor time to open and the balloon to go.
e2e_wait '[ -s "$VX_LOG" ]' 600 || e2e_fail "Vellix did not start"
sleep 12
import -window root "$SHOT_OUT"
echo "screenshot: $SHOT_OUT"
vx_run /exit || true
sleep 2
