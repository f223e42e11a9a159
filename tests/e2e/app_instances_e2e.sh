#!/usr/bin/env bash
# Single instance: a second start without keys shows nothing and turns a disabled engine
# on; /EXIT, -exit and /Exit end the running instance; exit without a switch does not;
# /noautoload removes the autostart entry.
. "$(dirname "$0")/vellix_lib.sh"
e2e_enter "$@"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
vx_folder
vx_settings

for spelling in /EXIT -exit /Exit; do
  vx_start
  vx_wait_main
  vx_run exit
  sleep 1
  vx_main_window || e2e_fail "'exit' without a switch character ended the instance"
  vx_run "$spelling"
  vx_wait_gone
  wait "$VX_PID" 2>/dev/null || true
done

# Second start: nothing shown by it, the running engine is turned on again.
vx_start
vx_wait_main
# Lock turns the engine off (the session stop flag is then set) ...
[ "$(vx_send 0x2B1 7 1)" = 1 ] || e2e_fail "session change not handled"
vx_log_has "WTS_Session_Change WTS_SESSION_LOCK, Session ID: [1]"
vx_log_has "Uninstall Engine: Yes"
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "btw "
sleep 1
e2e_expect_text 'btw ' "no expansion while the engine is off"
# ... and a second start turns it on.
vx_run
e2e_wait 'e2e_wine "$VX_MSG" event "Local\\Vellix_SecondStarted"' 10 || true
vx_main_window || e2e_fail "the running instance ended at a second start"
e2e_focus_target
xdotool type --delay 40 "btw"
e2e_expect_text 'btw by the way' "the second start turned the engine on"

# Unlock after the second start: the engine is on already, nothing changes.
[ "$(vx_send 0x2B1 8 1)" = 1 ] || e2e_fail "session change not handled"
vx_log_has "WTS_Session_Change WTS_SESSION_UNLOCK, Session ID: [1]"
vx_log_has "WR_NEED_INSTALL"

# /noautoload removes the autostart entry (and /exit still ends the instance).
wine reg add "$run_key" /v Vellix /d "\"$(e2e_winpath "$VX_DIR/Vellix.exe")\" /autoload" /f >/dev/null 2>&1
vx_run /noautoload /exit
vx_wait_gone
wine reg query "$run_key" /v Vellix >/dev/null 2>&1 && e2e_fail "/noautoload left the autostart entry"
e2e_pass
