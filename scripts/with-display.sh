#!/usr/bin/env bash
# Runs a command with a private Xvfb display and one wineserver kept alive for its whole
# duration, then stops what it started. The display number is the first free one from
# VELLIX_DISPLAY (default 90) upwards. With VELLIX_XKB_LAYOUT (de, fr, ...) the display
# gets that keyboard layout before Wine starts (Xvfb then runs with -noreset, since it
# would otherwise reset its keymap whenever its last client leaves).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

display=${VELLIX_DISPLAY:-90}
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done

xvfb_options=()
[ -n "${VELLIX_XKB_LAYOUT:-}" ] && xvfb_options+=(-noreset)
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp "${xvfb_options[@]}" >/dev/null 2>&1 &
xvfb_pid=$!
server_started=0
cleanup() {
  if [ "$server_started" = 1 ]; then wineserver -k >/dev/null 2>&1 || true; fi
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done
export DISPLAY=":$display"
if [ -n "${VELLIX_XKB_LAYOUT:-}" ]; then
  setxkbmap -display "$DISPLAY" "$VELLIX_XKB_LAYOUT"
fi

"$here/wine-prefix.sh"
wineserver -p >/dev/null 2>&1 && server_started=1 || true
# Start Wine's session services (explorer, services.exe) now, detached from our output:
# they outlive the program that starts them, and a test runner waits for every process
# that still holds its output pipe.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

status=0
"$@" || status=$?
exit $status
