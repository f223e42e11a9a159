#!/usr/bin/env bash
# Shows Vellix at work: a virtual display, Vellix.exe in a fresh program folder with the example database, and a target
# window into which xdotool types a few keystrokes. Prints what was typed next to what the
# target received, saves a screenshot of the desktop with the tray icon and its menu, and
# ends Vellix with /exit.
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

. "$repo/tests/e2e/tray_lib.sh"
e2e_enter "$@"

vx_folder
vx_settings 'Sounds=0'
vx_start
vx_wait_main
e2e_start_target
# Out of the way of the notification area and the tray menu at the top left.
xdotool windowmove "$(xdotool search --name "^$E2E_TITLE\$" | head -n 1)" 240 60 || true
e2e_focus_target

# Each keystroke is followed by a pause: a key typed within the print delay (50 ms) would
# cancel the expansion, as it does for a user who keeps typing a longer word.
typed=(btw gm sig addr asap)
for word in "${typed[@]}"; do
  xdotool type --delay 60 "$word"
  sleep 1.2
  xdotool key Return
  sleep 0.3
done
sleep 1

echo
echo "Typed into the target window:"
printf '    %s\n' "${typed[@]}"
echo "The target window received:"
tr -d '\r' <"$E2E_TEXT_FILE" | sed 's/^/    /'
echo
# Without a desktop window Wine's explorer shows the notification area as a small window
# of its own at the top left ("Wine System Tray"). The picture shows Vellix's icon there
# with its menu open, as a right click on the icon opens it (the menu is placed at the
# mouse pointer and replaces the start balloon).
xdotool mousemove --window "$(vt_tray_window)" 12 12
e2e_wine "$VX_MSG" post "$VX_TITLE" "$VT_TRAY_CALLBACK" 1 "$VT_WM_RBUTTONUP" || true
sleep 1.5
import -window root "$out/desktop.png"
e2e_wine "$VX_MSG" keys "$VX_TITLE" escape || true
sleep 0.5
echo "Screenshot of the desktop with the tray icon and its menu: $out/desktop.png"

vx_run /exit || true
e2e_wait '! kill -0 "${E2E_PIDS[0]}" 2>/dev/null' 100 || true
echo "Vellix ended (/exit). Usage counts in its database:"
grep -o 'CountUsage="[0-9]*"' "$VX_DIR/Database.xml" | sort | uniq -c | sed 's/^/    /'
