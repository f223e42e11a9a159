#!/usr/bin/env bash
# Session lock and unlock, sent as WM_WTSSESSION_CHANGE to the main dialog: lock turns the
# engine off, unlock on again; an unknown reason is logged by its number.
. "$(dirname "$0")/vellix_lib.sh"
e2e_enter "$@"

vx_folder
vx_settings
vx_start
vx_wait_main
e2e_start_target
e2e_focus_target

[ "$(vx_send "$VX_WM_WTSSESSION_CHANGE" "$VX_WTS_SESSION_LOCK" 3)" = 1 ] || e2e_fail "lock not handled"
vx_log_has "WTS_Session_Change WTS_SESSION_LOCK, Session ID: [3]"
vx_log_has "WR_NEED_UNINSTALL"
vx_log_has "Uninstall Engine: Yes"
xdotool type --delay 40 "btw "
sleep 1
e2e_expect_text 'btw ' "no expansion while locked"

[ "$(vx_send "$VX_WM_WTSSESSION_CHANGE" "$VX_WTS_SESSION_UNLOCK" 3)" = 1 ] || e2e_fail "unlock not handled"
vx_log_has "WTS_Session_Change WTS_SESSION_UNLOCK, Session ID: [3]"
vx_log_has "WR_NEED_INSTALL"
vx_log_has "Before Uninstall Engine: NO"

[ "$(vx_send "$VX_WM_WTSSESSION_CHANGE" "$VX_WTS_REMOTE_CONNECT" 3)" = 1 ] || e2e_fail "remote connect not handled"
vx_log_has "WTS_Session_Change WTS_REMOTE_CONNECT, Session ID: [3]"
vx_log_has "WR_UNKNOW"
vx_send "$VX_WM_WTSSESSION_CHANGE" 42 3 >/dev/null
vx_log_has "WTSSessionChangeReason_2_Str: wReason=42"

vx_run /exit
vx_wait_gone
e2e_pass
