#!/usr/bin/env bash
# The pause key of the running Vellix.exe: chosen by pressing keys into the hotkey control of
# the dialog that the tray menu opens, kept in settings.ini, and from then on a real key
# press (xdotool) switches expansion off and on as the tray's Disable Temporary / Enable
# does, icon included. Keys another program holds and the keys of Find Phrase are refused
# and not kept. After a restart the key read from settings.ini works again.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

# Menu paths from the first item, Exit: every item but the separators counts.
menu_pause_key=(home down down down down down down down down down down enter)
ctrl_alt_p=1616  # the hotkey control's value: (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'P'

focus_window() {  # $1: window title
  local window
  window=$(timeout 20 xdotool search --sync --name "^$1\$" | head -n 1) || e2e_fail "no window '$1'"
  timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  sleep 0.3
}

# Opens the dialog from the tray menu, presses $1 into its hotkey control and OK.
choose_pause_key() {
  vt_menu "${menu_pause_key[@]}"
  e2e_wait 'vx_window "Pause Key"' 100 || e2e_fail "the Pause Key dialog did not open"
  focus_window "Pause Key"
  xdotool key "$1"
  sleep 0.3
  xdotool key Return
  e2e_wait '! vx_window "Pause Key"' 100 || e2e_fail "the Pause Key dialog did not close"
  sleep 0.3
}

typed=''
type_btw() {  # $1 on|off, $2 what the check is about
  e2e_focus_target
  xdotool type --delay 40 "btw"
  if [ "$1" = on ]; then typed+='by the way'; else typed+='btw'; sleep 0.5; fi
  e2e_expect_text "$typed" "$2"
  xdotool type " "
  typed+=' '
  e2e_expect_text "$typed" "$2"
}

press_pause() {
  e2e_focus_target
  xdotool key ctrl+alt+p
  sleep 0.5
}

vx_folder
vx_settings 'Sounds=0' 'FindPhraseKey=1606'  # Find Phrase has Ctrl+Alt+F
vt_start
vx_wait_main
vt_wait_ready
e2e_start_target
type_btw on "expansion at start"
[ "$(vx_ini_value PauseKey)" = "" ] || [ "$(vx_ini_value PauseKey)" = 0 ] ||
  e2e_fail "a pause key '$(vx_ini_value PauseKey)' before the user chose one"

# Keys that another program holds cannot be pressed into the control (the system hands
# them to that program), so they are set there directly: refused, nothing kept.
e2e_wine_bg "$VX_MSG" hotkey 3 0x50 20  # MOD_ALT | MOD_CONTROL, 'P'
sleep 1.5
vt_menu "${menu_pause_key[@]}"
e2e_wait 'vx_window "Pause Key"' 100 || e2e_fail "the Pause Key dialog did not open"
[ "$(e2e_wine "$VX_MSG" childsend "Pause Key" 3152 0x401 "$ctrl_alt_p" 0 | tr -d '\r')" != "" ] ||
  e2e_fail "cannot set the hotkey control"
focus_window "Pause Key"
xdotool key Return
e2e_wait '! vx_window "Pause Key"' 100 || e2e_fail "the Pause Key dialog did not close"
vx_log_has "cannot be used"
[ "$(vx_ini_value PauseKey)" != "$ctrl_alt_p" ] || e2e_fail "keys another program holds were kept"
# The keys of Find Phrase are Vellix's own already: pressed there, they are refused too.
choose_pause_key ctrl+alt+f
[ "$(vx_ini_value PauseKey)" != 1606 ] || e2e_fail "the keys of Find Phrase were taken for the pause key"
e2e_wait '! pgrep -f "win-message.exe hotkey" >/dev/null' 300 || e2e_fail "the other program kept its hotkey"
sleep 0.5
# Find Phrase's keys still open the picker, and Escape closes it.
e2e_focus_target
xdotool key ctrl+alt+f
e2e_wait 'vx_window "Find Phrase"' 100 || e2e_fail "Find Phrase's keys were lost"
focus_window "Find Phrase"
xdotool key Escape
e2e_wait '! vx_window "Find Phrase"' 100 || e2e_fail "the picker stayed open"

# Free keys are kept and work at once, both ways.
choose_pause_key ctrl+alt+p
e2e_wait '[ "$(vx_ini_value PauseKey)" = "$ctrl_alt_p" ]' 50 || e2e_fail "PauseKey is '$(vx_ini_value PauseKey)'"
vt_expect_icon on "before the pause key"
press_pause
vt_expect_icon off "after the pause key"
type_btw off "no expansion after the pause key"
press_pause
vt_expect_icon on "after the pause key again"
type_btw on "expansion after the pause key again"

# After a restart the key from settings.ini works again. (Ended by a second start with
# /exit: under Wine the tray menu opened after a hotkey takes no posted keys, as the
# hotkey's key state stays with the program's thread.)
vx_run /exit
vx_wait_gone
[ "$(vx_ini_value PauseKey)" = "$ctrl_alt_p" ] || e2e_fail "PauseKey is '$(vx_ini_value PauseKey)' after Exit"
vt_start
vx_wait_main
vt_wait_ready
press_pause
vt_expect_icon off "the pause key after a restart"
type_btw off "no expansion after the pause key after a restart"
press_pause
vt_expect_icon on "the pause key again after a restart"
type_btw on "expansion after a restart"
[ "$(vx_ini_value PauseKey)" = "$ctrl_alt_p" ] || e2e_fail "PauseKey is '$(vx_ini_value PauseKey)' after the restart"

vx_run /exit
vx_wait_gone
e2e_pass
