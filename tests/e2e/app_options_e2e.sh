#!/usr/bin/env bash
# The expansion options of the running Vellix.exe, switched from its tray menu and typed
# with real keys: Expand When the Word Ends ("sig" inside "signal" stays, "sig " expands),
# Undo With Backspace, Case Follows the Keystroke ("Btw", "BTW"); each lands in
# settings.ini, and a restart and a new start keep them, both switched on and off.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

# Menu paths from the last item, Enable, upwards: Do Not Expand in, Language, Sounds,
# Start With Windows, Paste Long Phrases, then the three options; from the first, Exit, downwards: Restart.
menu_case=(end up up up up up up enter)
menu_undo=(end up up up up up up up enter)
menu_word_end=(end up up up up up up up up enter)
menu_restart=(home down enter)
menu_exit=(home enter)

database=$E2E_TMP/options.xml
phrase() {  # KEYSTROKE TEXT
  printf '<Phrase CaseSensitive="0" AddOrReplace="1" LeftAfter="0" CountUsage="0" UseWithList="NotUse" Enabled="1">'
  printf '<Word>%s</Word><Prefixes><Prefix Disabled="0">%s</Prefix></Prefixes><Include /><Exclude /></Phrase>' "$2" "$1"
}
{ printf '<?xml version="1.0" ?>\n<Tessil_Phrase_Data>'
  phrase sig 'Best regards'
  phrase btw 'by the way'
  printf '</Tessil_Phrase_Data>\n'; } >"$database"

vx_folder "$database"
vx_settings 'Sounds=0'

typed=""
expect() { typed+=$1; e2e_expect_text "$typed" "$2"; }
expect_still() { sleep 0.6; e2e_expect_text "$typed" "$1"; }
# A key every 150 ms, as a person types an ordinary word.
type_slowly() { xdotool type --delay 150 "$1"; }
type_quickly() { xdotool type --delay 40 "$1"; }
expect_ini() {  # KEY VALUE
  VX_KEY=$1 VX_WANT=$2
  e2e_wait '[ "$(vx_ini_value "$VX_KEY")" = "$VX_WANT" ]' 50 ||
    e2e_fail "$1 is '$(vx_ini_value "$1")' in settings.ini, not $2"
}
expect_options() {  # WORD_END UNDO CASE as stored in settings.ini
  expect_ini ExpandOnWordEnd "$1"
  expect_ini UndoWithBackspace "$2"
  expect_ini CaseFollowsKeystroke "$3"
}
focus_target() { vt_click_target; }

vt_start
vt_wait_ready
e2e_start_target
e2e_focus_target

# Off by default: the keystroke fires within the word, as soon as it is typed.
type_slowly 'sig'
expect 'Best regards' "sig expands at once by default"
type_quickly ' '; expect ' ' "blank"

# Expand When the Word Ends: the ordinary word "signal" stays as typed; the word "sig"
# expands when it ends, and the separator follows the phrase.
vt_menu "${menu_word_end[@]}"
expect_options 1 0 0
focus_target
type_slowly 'signal '
expect 'signal ' "signal typed"
expect_still "sig does not expand inside signal"
type_slowly 'sig'
expect 'sig' "sig typed"
expect_still "sig waits for the end of its word"
type_quickly ' '
typed=${typed%sig}; expect 'Best regards ' "sig expands when its word ends"

# Undo With Backspace: the Backspace right after the expansion gives back the keystroke
# and its separator, and the keystroke does not expand again.
vt_menu "${menu_undo[@]}"
expect_options 1 1 0
focus_target
type_quickly 'btw '
expect 'by the way ' "btw expands at the end of its word"
xdotool key BackSpace
typed=${typed%by the way }; expect 'btw ' "the Backspace undid the expansion"
expect_still "the undone keystroke stays"

# Case Follows the Keystroke: a capital first letter, and all capitals.
vt_menu "${menu_case[@]}"
expect_options 1 1 1
focus_target
type_quickly 'Btw '
expect 'By the way ' "first letter in capitals"
type_quickly 'BTW '
expect 'BY THE WAY ' "all in capitals"

# Restart: the new instance reads the options from settings.ini.
first=$(vt_main_handle)
vt_menu "${menu_restart[@]}"
e2e_wait '! kill -0 "$VX_PID" 2>/dev/null' 200 || e2e_fail "the old instance did not end at Restart"
e2e_wait '[ -n "$(vt_main_handle)" ] && [ "$(vt_main_handle)" != "$first" ]' 300 ||
  e2e_fail "no new instance after Restart"
vt_wait_ready
expect_options 1 1 1
focus_target
type_slowly 'signal '
expect 'signal ' "after Restart: signal typed"
expect_still "after Restart: sig does not expand inside signal"
type_quickly 'Btw '
expect 'By the way ' "after Restart: the case follows the keystroke"
xdotool key BackSpace
typed=${typed%By the way }; expect 'Btw ' "after Restart: the Backspace undid the expansion"
expect_still "after Restart: the undone keystroke stays"

# Switched off again, all three; Exit and a new start keep them off.
vt_menu "${menu_word_end[@]}"
vt_menu "${menu_undo[@]}"
vt_menu "${menu_case[@]}"
expect_options 0 0 0
vt_menu "${menu_exit[@]}"
vx_wait_gone
expect_options 0 0 0
vt_start
vt_wait_ready
expect_options 0 0 0
focus_target
type_quickly ' '; expect ' ' "blank"
type_slowly 'Btw'
expect 'by the way' "a new start: btw expands at once, as stored"
xdotool key BackSpace
typed=${typed%?}; expect '' "a new start: the Backspace is an ordinary one"
expect_still "a new start: the Backspace erased one character only"

vt_menu "${menu_exit[@]}"
vx_wait_gone
e2e_pass
