#!/usr/bin/env bash
# Helpers for end-to-end tests that type into a target window under Wine on a private
# Xvfb display. Source this file from a test script, then call e2e_enter "$@" first:
#
#   #!/usr/bin/env bash
#   . "$(dirname "$0")/e2e_lib.sh"
#   e2e_enter "$@"                        # re-runs the script under scripts/with-display.sh
#   e2e_start_target                      # target-window.exe, titled $E2E_TITLE
#   e2e_focus_target                      # xdotool: activate it and give it the focus
#   xdotool type --delay 30 "hello"
#   e2e_expect_text "hello"               # waits until the edit holds exactly this text
#   e2e_wine "$E2E_TOOLS/hook-probe/hook-probe.exe" type 'x\r\n' 0 0
#   e2e_pass
#
# Each test script gets its own Xvfb display (the first free one from VELLIX_DISPLAY up)
# and its own wineserver: the prefix is VELLIX_E2E_PREFIX (default build/wineprefix-e2e),
# apart from the prefix of the Windows unit tests, and scripts/with-display.sh stops the
# server and the display when the script ends, which also ends every Wine program it
# started. Test scripts therefore run one at a time (ctest RESOURCE_LOCK vellix_e2e).
#
# Environment: VELLIX_TOOLS  folder with target-window/ and hook-probe/ (ctest sets it);
#              VELLIX_E2E_PREFIX, VELLIX_DISPLAY.
# Variables after e2e_enter: E2E_ROOT (repository), E2E_TOOLS, E2E_TMP (a fresh temporary
# folder, removed at exit), E2E_TITLE. After e2e_start_target: E2E_TEXT_FILE, the UTF-8
# mirror of the target's text (CR LF line breaks, as the edit control holds them).
set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_TOOLS=${VELLIX_TOOLS:-$E2E_ROOT/build/windows/tools}
E2E_TITLE=${E2E_TITLE:-Vellix Target}

e2e_enter() {
  if [ "${VELLIX_E2E_INNER:-}" != 1 ]; then
    export VELLIX_E2E_INNER=1
    export VELLIX_WINEPREFIX=${VELLIX_E2E_PREFIX:-$E2E_ROOT/build/wineprefix-e2e}
    exec "$E2E_ROOT/scripts/with-display.sh" bash "$0" "$@"
  fi
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vellix-e2e.XXXXXX")
  E2E_PIDS=()
  trap e2e_cleanup EXIT
  echo "e2e: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX tmp=$E2E_TMP"
}

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" >/dev/null 2>&1 || true; done
  rm -rf "$E2E_TMP"
}

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_pass() { echo "PASS: $(basename "$0")"; }

# The Windows form of a Linux path.
e2e_winpath() { winepath -w "$1" 2>/dev/null; }

# Runs a Windows program to its end; its output goes to our stdout.
e2e_wine() { wine "$@" </dev/null 2>/dev/null; }

# Starts a Windows program in the background; its PID is appended to E2E_PIDS.
e2e_wine_bg() {
  wine "$@" </dev/null >/dev/null 2>&1 &
  E2E_PIDS+=("$!")
}

# Waits up to $2 tenths of a second (default 100) for command $1 to succeed.
e2e_wait() {
  local tries=${2:-100}
  while ! eval "$1"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Starts the target window and waits until it has written its (empty) text file.
e2e_start_target() {
  E2E_TEXT_FILE=$E2E_TMP/target.txt
  e2e_wine_bg "$E2E_TOOLS/target-window/target-window.exe" --title "$E2E_TITLE" \
    --out "$(e2e_winpath "$E2E_TEXT_FILE")"
  e2e_wait '[ -f "$E2E_TEXT_FILE" ]' 300 || e2e_fail "the target window did not start"
}

# Activates the target window and gives it the keyboard focus.
e2e_focus_target() {
  local window
  window=$(timeout 20 xdotool search --sync --name "^$E2E_TITLE\$" | head -n 1) ||
    e2e_fail "no window named $E2E_TITLE"
  # Without a window manager activation may be refused; X focus is enough for Wine.
  timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  sleep 0.3
}

e2e_text() { cat "$E2E_TEXT_FILE"; }

# Waits (up to 10 s) until the target holds exactly the text $1 (give it with printf
# escapes, e.g. 'a\r\nb'), and fails with both texts shown otherwise.
e2e_expect_text() {
  local expected
  expected=$(printf "$1"; printf x)
  expected=${expected%x}
  E2E_EXPECTED=$expected
  if ! e2e_wait '[ "$(cat "$E2E_TEXT_FILE"; printf x)" = "${E2E_EXPECTED}x" ]' 100; then
    echo "expected: $(printf '%s' "$expected" | od -c | head -n 5)" >&2
    echo "actual:   $(od -c "$E2E_TEXT_FILE" | head -n 5)" >&2
    e2e_fail "${2:-target text}"
  fi
}
