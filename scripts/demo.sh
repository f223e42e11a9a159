#!/usr/bin/env bash
# Shows Vellix at work: a virtual display with a Wine desktop (taskbar and notification
# area), Vellix.exe in a fresh program folder with the example database, and a target
# window into which xdotool types a few keystrokes. Prints what was typed next to what the
# target received, saves a screenshot of the desktop and ends Vellix with /exit.
# Usage: scripts/demo.sh [BUILD_DIR]   (make demo builds first)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
export VELLIX_TOOLS=$build/windows/tools
export VELLIX_EXE=$build/windows/Vellix.exe
export VELLIX_E2E_PREFIX=$build/wineprefix-demo
export E2E_TITLE="Vellix Demo Target"
out=$build/demo
mkdir -p "$out"

. "$repo/tests/e2e/vellix_lib.sh"
e2e_enter "$@"

desktop=Vellix,1024x768
vx_folder
vx_settings 'Sounds=0'
(cd "$VX_DIR" && wine explorer /desktop=$desktop Vellix.exe </dev/null >/dev/null 2>&1) &
E2E_PIDS+=("$!")
# Windows of the Wine desktop are not visible from outside it: follow the log instead.
vx_log_has "This version released" 600
sleep 2

E2E_TEXT_FILE=$E2E_TMP/target.txt
(wine explorer /desktop=$desktop "$(winepath -w "$VELLIX_TOOLS/target-window/target-window.exe")" \
   --title "$E2E_TITLE" --out "$(e2e_winpath "$E2E_TEXT_FILE")" </dev/null >/dev/null 2>&1) &
E2E_PIDS+=("$!")
e2e_wait '[ -f "$E2E_TEXT_FILE" ]' 300 || e2e_fail "the target window did not start"

# Inside a Wine desktop the target is not an X window of its own: focus the desktop window,
# in which the target is the active window.
screen=$(timeout 20 xdotool search --sync --name "Vellix - Wine desktop" | head -n 1)
timeout 5 xdotool windowactivate --sync "$screen" >/dev/null 2>&1 ||
  timeout 5 xdotool windowfocus --sync "$screen" >/dev/null 2>&1 || true
sleep 1

typed=("btw " "gm " "sig " "addr " "asap.")
for word in "${typed[@]}"; do
  xdotool type --delay 60 "$word"
  sleep 1.2
done
sleep 1

echo
echo "Typed into the target window:"
printf '    %s\n' "${typed[@]}"
echo "The target window received:"
tr -d '\r' <"$E2E_TEXT_FILE" | sed 's/^/    /'
echo
import -window root "$out/desktop.png"
echo "Screenshot of the desktop with the tray icon: $out/desktop.png"

vx_run /exit || true
e2e_wait '! kill -0 "${E2E_PIDS[0]}" 2>/dev/null' 100 || true
echo "Vellix ended (/exit). Usage counts in its database:"
grep -o 'CountUsage="[0-9]*"' "$VX_DIR/Database.xml" | sort | uniq -c | sed 's/^/    /'
