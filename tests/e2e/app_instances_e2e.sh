#!/usr/bin/env bash
# Single instance: /EXIT, -exit and /Exit end the running instance; exit without a switch
# character does not; a second start without keys leaves the running instance alone;
# /noautoload removes the autostart entry; an exit request ends the instance while its About
# dialog or its tray menu is open; a second start while the phrase editor runs switches the
# engine on only after the editor has ended.
. "$(dirname "$0")/tray_lib.sh"
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

# The About dialog, opened from the tray menu (Exit, Restart, About), runs a modal loop of
# its own; the exit request closes it rather than wait for the user.
vt_wait_ready
vt_menu home down down enter
e2e_wait 'vx_window "About Vellix*"' 100 || e2e_fail "the tray menu opened no About dialog"
vx_run /exit
vx_wait_gone
wait "$VX_PID" 2>/dev/null || true

# So does the open tray menu.
vx_start
vt_wait_ready
e2e_wine "$VX_MSG" post "$VX_TITLE" "$VT_TRAY_CALLBACK" 1 "$VT_WM_RBUTTONUP" || e2e_fail "cannot post the tray click"
sleep 1
vx_run /exit
vx_wait_gone
wait "$VX_PID" 2>/dev/null || true

# A second start while the phrase editor runs leaves the engine off until the editor has
# ended, so that typing in the editor is never expanded; then it switches the engine on,
# even after the user's Disable.
vt_start
vt_wait_ready
vt_menu end enter
vt_expect_icon off "Disable before the editor"
vx_run /edit
e2e_wait 'vx_window "*Edit Phrases*"' 300 || e2e_fail "/edit opened no phrase editor"
e2e_start_target
vx_run
sleep 1
e2e_focus_target
xdotool type --delay 40 "btw"
sleep 0.5
xdotool type " "
e2e_expect_text 'btw ' "a second start switched the engine on while the editor runs"
e2e_wine "$VX_MSG" send "*Edit Phrases*" "$VX_WM_COMMAND" "$VX_IDCANCEL" 0 >/dev/null || e2e_fail "cannot close the editor"
e2e_wait '! vx_window "*Edit Phrases*"' 100 || e2e_fail "the unchanged editor did not close on Cancel"
vt_expect_icon on "after the editor that a second start asked the engine of"
e2e_focus_target
xdotool type --delay 40 "btw"
e2e_expect_text 'btw by the way' "no expansion after the editor that a second start asked the engine of"
vx_run /exit
vx_wait_gone
wait "$VX_PID" 2>/dev/null || true

vx_start
vx_wait_main
wine reg add "$run_key" /v Vellix /d "\"$(e2e_winpath "$VX_DIR/Vellix.exe")\" /autoload" /f >/dev/null 2>&1
vx_run /noautoload /exit
vx_wait_gone
wine reg query "$run_key" /v Vellix >/dev/null 2>&1 && e2e_fail "/noautoload left the autostart entry"
e2e_pass
