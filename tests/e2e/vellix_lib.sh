#!/usr/bin/env bash
# Helpers for end-to-end tests of the real Vellix.exe, on top of e2e_lib.sh. Source this
# file instead of e2e_lib.sh; after e2e_enter:
#
#   vx_folder [database]        a fresh program folder $VX_DIR with Vellix.exe (and a copy
#                               of the database, default the bundled example)
#   vx_settings 'Key=Value'...  writes settings.ini section "Settings" (UTF-16 not needed)
#   vx_start [keys...]          starts Vellix.exe in the background
#   vx_run [keys...]            runs Vellix.exe to its end (a second start)
#   vx_wait_main                waits until the hidden main dialog exists
#   vx_wait_gone                waits until it is gone
#   vx_send MSG WP LP           sends a message to the main dialog, prints the answer
#   vx_editor_open              whether the phrase editor ($VX_EDITOR) is open
#   vx_focus_editor             gives the phrase editor the keyboard focus
#   vx_add_phrase TEXT KEY      adds a phrase and its keystroke in the editor, typed
#   vx_log_has TEXT             waits until LogReport.txt holds TEXT
#
# Environment: VELLIX_EXE (ctest sets it; default build/windows/Vellix.exe).
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

VX_EXE=${VELLIX_EXE:-$E2E_ROOT/build/windows/Vellix.exe}
VX_MSG=$E2E_TOOLS/win-message/win-message.exe

# The window messages, command and control ids and answers the scripts send (the system's
# values, and Vellix's own from res/resource.h and the phrase grid).
VX_WM_ENDSESSION=0x16
VX_WM_COMMAND=0x111
VX_WM_WTSSESSION_CHANGE=0x2B1
VX_WTS_REMOTE_CONNECT=3
VX_WTS_SESSION_LOCK=7
VX_WTS_SESSION_UNLOCK=8
VX_IDOK=1
VX_IDCANCEL=2
VX_IDYES=6
VX_ID_ADD_PHRASE=32776
VX_ID_OPEN_DATABASE=32790
VX_OPEN_FILE_NAME=1148  # the file-name box (cmb13) of the open-file dialog
VX_GRID_EDITOR=14864    # the phrase grid's in-place text editor

vx_folder() {
  VX_DIR=$E2E_TMP/program
  rm -rf "$VX_DIR"
  mkdir -p "$VX_DIR"
  cp "$VX_EXE" "$VX_DIR/Vellix.exe"
  local database=${1:-$E2E_ROOT/examples/Database.xml}
  [ "$database" = none ] || cp "$database" "$VX_DIR/Database.xml"
  VX_LOG=$VX_DIR/LogReport.txt
  VX_INI=$VX_DIR/settings.ini
}

# A settings file that is not a first run, with English and no autostart written.
vx_settings() {
  { printf '[Settings]\r\n'; printf 'AlreadyRunning2=1\r\nLangFile=\r\n'
    local line; for line in "$@"; do printf '%s\r\n' "$line"; done; } >"$VX_INI"
}

vx_start() {
  (cd "$VX_DIR" && wine ./Vellix.exe "$@" </dev/null >/dev/null 2>&1) &
  VX_PID=$!
  E2E_PIDS+=("$VX_PID")
}

vx_run() { (cd "$VX_DIR" && timeout 60 wine ./Vellix.exe "$@" </dev/null >/dev/null 2>&1); }

# The main dialog's window text is the long program title, "Vellix <version> build <n>".
VX_TITLE='Vellix * build *'

vx_main_window() { e2e_wine "$VX_MSG" find "$VX_TITLE" >/dev/null; }
vx_window() { e2e_wine "$VX_MSG" find "$1" >/dev/null; }
vx_wait_main() { e2e_wait vx_main_window "${1:-300}" || e2e_fail "the main dialog did not appear"; }
vx_wait_gone() { e2e_wait '! vx_main_window' "${1:-200}" || e2e_fail "Vellix did not end"; }
vx_send() { e2e_wine "$VX_MSG" send "$VX_TITLE" "$@" | tr -d '\r'; }

# The phrase editor's window.
VX_EDITOR='*Edit Phrases*'
vx_editor_open() { vx_window "$VX_EDITOR"; }

# Gives the editor window the keyboard focus. Without a window manager a click is what
# activates a Wine window: on the usage count of the first row, a read-only cell.
vx_focus_editor() {
  local window X Y WIDTH HEIGHT
  window=$(timeout 20 xdotool search --sync --name "Edit Phrases" | head -n 1) || e2e_fail "no editor window"
  timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  xdotool mousemove $((X + WIDTH - 50)) $((Y + 62)) click 1
  sleep 0.5
}

# Adds a phrase in the open editor as the user does: Add, its text typed into the grid's
# in-place editor, Enter, then its first keystroke typed into the entry the details panel
# opens, Enter. The editor is then marked modified.
vx_add_phrase() {
  vx_focus_editor
  e2e_wine "$VX_MSG" send "$VX_EDITOR" "$VX_WM_COMMAND" "$VX_ID_ADD_PHRASE" 0 >/dev/null || e2e_fail "cannot send Add"
  e2e_wait 'e2e_wine "$VX_MSG" children "$VX_EDITOR" | grep -q "^$VX_GRID_EDITOR "' 100 ||
    e2e_fail "Add opened no text editor for the new phrase"
  xdotool key --delay 50 ctrl+a BackSpace
  xdotool type --delay 40 "$1"
  xdotool key Return
  sleep 1  # the panel opens the keystroke entry through posted messages
  xdotool key ctrl+a BackSpace
  xdotool type --delay 40 "$2"
  xdotool key Return
  e2e_wait 'vx_window "* Vellix*Edit Phrases*"' 50 || e2e_fail "the editor is not marked modified"
}

# LogReport.txt is UTF-16; grep its UTF-8 form.
vx_log() { iconv -f UTF-16 -t UTF-8 "$VX_LOG" 2>/dev/null | tr -d '\r'; }
vx_log_has() {
  VX_WANT=$1
  e2e_wait 'vx_log | grep -qF -- "$VX_WANT"' "${2:-100}" || {
    vx_log | tail -n 20 >&2
    e2e_fail "LogReport.txt has no '$1'"
  }
}

vx_ini_value() {  # section-less lookup of KEY in settings.ini (UTF-16 or 8-bit)
  local bom
  bom=$(head -c 2 "$VX_INI" 2>/dev/null | od -An -tx1 | tr -d ' ')
  if [ "$bom" = fffe ]; then iconv -f UTF-16 -t UTF-8 "$VX_INI"; else cat "$VX_INI"; fi 2>/dev/null |
    tr -d '\r' |
    sed -n "s/^$1=//p" | head -n 1
}

# The usage count of the phrase with Word $1 in the database file.
vx_usage() {
  python3 - "$VX_DIR/Database.xml" "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
for p in root.findall('Phrase'):
    if p.findtext('Word') == sys.argv[2]:
        print(p.get('CountUsage')); break
PY
}
