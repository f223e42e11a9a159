#!/usr/bin/env bash
# Single instance: /EXIT, -exit and /Exit end the running instance; exit without a switch
# character does not; a second start without keys leaves the running instance alone;
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

vx_start
vx_wait_main
vx_run
vx_main_window || e2e_fail "the running instance ended at a second start"

wine reg add "$run_key" /v Vellix /d "\"$(e2e_winpath "$VX_DIR/Vellix.exe")\" /autoload" /f >/dev/null 2>&1
vx_run /noautoload /exit
vx_wait_gone
wine reg query "$run_key" /v Vellix >/dev/null 2>&1 && e2e_fail "/noautoload left the autostart entry"
e2e_pass
