#!/usr/bin/env bash
# Shows Vellix at work: a virtual display, Vellix.exe in a fresh program folder with the example database, and a target
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

vx_folder
vx_settings 'Sounds=0'
vx_start
vx_wait_main
e2e_start_target
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
import -window root "$out/desktop.png"
echo "Screenshot of the desktop with the tray icon: $out/desktop.png"

vx_run /exit || true
e2e_wait '! kill -0 "${E2E_PIDS[0]}" 2>/dev/null' 100 || true
echo "Vellix ended (/exit). Usage counts in its database:"
grep -o 'CountUsage="[0-9]*"' "$VX_DIR/Database.xml" | sort | uniq -c | sed 's/^/    /'
