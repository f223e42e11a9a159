#!/usr/bin/env bash
# The first start in an empty program folder: settings.ini is created as a first run, the
# language dialog appears and can be confirmed, the autostart entry is written, the log
# holds its start records and the phrase editor opens. Then a keystroke typed in the target window is expanded, and
# the usage count, PrintedChars and the log record follow.
. "$(dirname "$0")/vellix_lib.sh"
e2e_enter "$@"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
wine reg delete "$run_key" /v Vellix /f >/dev/null 2>&1 || true

vx_folder
vx_start
e2e_wait 'vx_window "*Select Language"' 300 || e2e_fail "no language dialog on the first run"
[ -f "$VX_INI" ] || e2e_fail "settings.ini was not created"
[ "$(vx_ini_value AlreadyRunning2)" = 1 ] || e2e_fail "AlreadyRunning2 not written"
vx_log_has "======================Start "
vx_log_has "This version released "
# The main dialog comes only after the language was chosen.
vx_main_window && e2e_fail "the main dialog runs before the language dialog was confirmed"
e2e_wine "$VX_MSG" send "*Select Language" "$VX_WM_COMMAND" "$VX_IDOK" 0 >/dev/null || e2e_fail "cannot confirm the language dialog"
vx_wait_main
wine reg query "$run_key" /v Vellix 2>/dev/null | tr -d '\r' | grep -q 'Vellix.exe" /autoload' ||
  e2e_fail "the autostart entry was not written"
e2e_wine "$VX_MSG" visible "$VX_TITLE" && e2e_fail "the main dialog is visible"
# The first run opens the phrase editor; the engine waits until it is closed.
e2e_wait 'vx_window "*Edit Phrases*"' 300 || e2e_fail "the first run did not open the phrase editor"
e2e_wine "$VX_MSG" send "*Edit Phrases*" "$VX_WM_COMMAND" "$VX_IDCANCEL" 0 >/dev/null || e2e_fail "cannot close the editor"
e2e_wait '! vx_window "*Edit Phrases*"' 100 || e2e_fail "the unchanged editor did not close on Cancel"

# Typing a keystroke expands it.
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "btw"
e2e_expect_text 'by the way' "btw expands"
vx_log_has "TAC_WORD_IS_PRINTED [by the way,lParam=4] "
vx_log_has "OnCallBack_ENDPRINT"
e2e_wait '[ "$(vx_usage "by the way")" = 1 ]' 100 || e2e_fail "usage count not saved: $(vx_usage "by the way")"
e2e_wait '[ "$(vx_ini_value PrintedChars)" = 10 ]' 100 || e2e_fail "PrintedChars is '$(vx_ini_value PrintedChars)'"

# /exit from a second start ends the first instance.
vx_run /exit
vx_wait_gone
wine reg delete "$run_key" /v Vellix /f >/dev/null 2>&1 || true
e2e_pass
