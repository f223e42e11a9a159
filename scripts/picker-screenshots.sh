#!/usr/bin/env bash
# Screenshots of the phrase picker on a Wine desktop at a given scale: Vellix.exe with the
# example database and a target window on one Wine desktop, in a Wine prefix whose
# LogPixels is set to the scale's dots per inch; the picker is opened by its key in the
# target and a query is typed.
# Usage: scripts/picker-screenshots.sh DPI OUTPUT.png [BUILD_DIR]   (96 = 100 %, 144 = 150 %)
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/screenshot_lib.sh" "$@"
vx_settings 'Sounds=0' 'FindPhraseKey=1606'  # Ctrl+Alt+F
desktop=VellixShot,1024x640
(cd "$VX_DIR" && wine explorer /desktop=$desktop ./Vellix.exe </dev/null >/dev/null 2>&1) &
E2E_PIDS+=("$!")
e2e_wait '[ -s "$VX_LOG" ]' 600 || e2e_fail "Vellix did not start"
sleep 6  # the start balloon goes
E2E_TEXT_FILE=$E2E_TMP/target.txt
(wine explorer /desktop=$desktop "$E2E_TOOLS/target-window/target-window.exe" --title "$E2E_TITLE" \
  --out "$(e2e_winpath "$E2E_TEXT_FILE")" </dev/null >/dev/null 2>&1) &
E2E_PIDS+=("$!")
e2e_wait '[ -f "$E2E_TEXT_FILE" ]' 300 || e2e_fail "the target window did not start"
sleep 2
screen=$(xdotool search --name 'VellixShot' | head -n 1)
xdotool mousemove --window "$screen" 200 120 click 1
sleep 0.5
xdotool type --delay 60 "Dear Anna, "
sleep 0.5
xdotool key ctrl+alt+f
sleep 2
xdotool type --delay 80 "re"
sleep 2
import -window root -crop 1024x640+0+0 +repage "$SHOT_OUT"
echo "screenshot: $SHOT_OUT"
xdotool key Escape
vx_run /exit || true
sleep 2
