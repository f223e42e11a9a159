#!/usr/bin/env bash
# The phrase picker of the running Vellix.exe: its key (xdotool, a real key press in the
# target window) opens it, a query and Enter close it and type the phrase into the target,
# counted in the database; Escape types nothing; the tray's "Find Phrase…" opens it too and
# the phrase lands in the window the user typed in before the click, line breaks included.
# It never opens twice, and the keys typed into it never expand.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

menu_find_phrase=(home down down down down down down down down enter)
menu_exit=(home enter)

focus_window() {  # $1: window title
  local window
  window=$(timeout 20 xdotool search --sync --name "^$1\$" | head -n 1) || e2e_fail "no window '$1'"
  timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  sleep 0.3
}

picker_open() { vx_window "Find Phrase"; }
expect_picker() {
  e2e_wait picker_open 100 || e2e_fail "the picker did not open: $1"
  focus_window "Find Phrase"
}
expect_no_picker() { e2e_wait '! picker_open' 100 || e2e_fail "the picker stayed open: $1"; }

open_by_key() {
  e2e_focus_target
  xdotool key ctrl+alt+f
  expect_picker "$1"
}

vx_folder
vx_settings 'Sounds=0' 'FindPhraseKey=1606'  # Ctrl+Alt+F
vt_start
vx_wait_main
vt_wait_ready
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "hello "
e2e_expect_text 'hello ' "plain typing"

# Key, query, Enter: the phrase goes into the target and its usage count into the database.
open_by_key "by its key"
# "btw" typed into the picker is a query, never an expansion.
xdotool type --delay 40 "btw"
sleep 0.6
e2e_expect_text 'hello ' "a keystroke typed into the picker expands nowhere"
xdotool key BackSpace BackSpace BackSpace
xdotool type --delay 40 "soon POSS"
sleep 0.3
xdotool key Return
expect_no_picker "after Enter"
e2e_expect_text 'hello as soon as possible' "the phrase chosen by its key"
e2e_wait '[ "$(vx_usage "as soon as possible")" = 1 ]' 100 ||
  e2e_fail "usage count of the chosen phrase is '$(vx_usage "as soon as possible")', not 1"

# The key again while it is open brings the same window back, no second one.
open_by_key "again"
e2e_focus_target
xdotool key ctrl+alt+f
sleep 0.5
[ "$(e2e_wine "$VX_MSG" texts '#32770' | tr -d '\r' | grep -c '^Find Phrase$')" -le 1 ] ||
  e2e_fail "a second picker opened"
expect_picker "after the second key press"
xdotool type --delay 40 "way"
xdotool key Escape
expect_no_picker "after Escape"
sleep 0.8
e2e_expect_text 'hello as soon as possible' "Escape types nothing"

# The tray item: the phrase goes to the window the user typed in before the click. (The X
# focus is given back by hand: without a window manager Wine moves only its own.)
e2e_focus_target
xdotool key ctrl+End
xdotool type --delay 40 " "
e2e_expect_text 'hello as soon as possible ' "typing after Escape"
vt_menu "${menu_find_phrase[@]}"
expect_picker "from the tray menu"
xdotool type --delay 40 "morgan"
sleep 0.3
xdotool key Return
expect_no_picker "after Enter from the tray"
e2e_expect_text 'hello as soon as possible Best regards,\r\nAlex Morgan\r\nSupport team' "the phrase chosen from the tray"
e2e_wait '[ "$(vx_usage "as soon as possible")" = 1 ] && [ -n "$(vx_log | grep -F "Picker: phrase")" ]' 100 ||
  e2e_fail "the pick was not logged"

# A session lock closes the picker, and nothing is typed.
open_by_key "before the lock"
xdotool type --delay 40 "way"
[ "$(vx_send 0x2B1 7 1)" = 1 ] || e2e_fail "lock not handled"
expect_no_picker "after the lock"
[ "$(vx_send 0x2B1 8 1)" = 1 ] || e2e_fail "unlock not handled"
sleep 0.8
e2e_expect_text 'hello as soon as possible Best regards,\r\nAlex Morgan\r\nSupport team' "a lock types nothing"

# Expansion goes on as before after the picker.
e2e_focus_target
xdotool key ctrl+End
xdotool type --delay 40 " btw"
e2e_expect_text 'hello as soon as possible Best regards,\r\nAlex Morgan\r\nSupport team by the way' "expansion after the picker"

vt_menu "${menu_exit[@]}"
vx_wait_gone
[ "$(vx_usage "by the way")" = 1 ] || e2e_fail "usage of btw is '$(vx_usage "by the way")'"
[ -n "$(vx_ini_value PickerWindowPos_RIGHT)" ] || e2e_fail "the picker's placement was not kept in settings.ini"
e2e_pass
