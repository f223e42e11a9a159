#!/usr/bin/env bash
# The tray menu of the running Vellix.exe, opened as a right click on the icon opens it and
# driven by keys: Enable/Disable (expansion, icon picture and tooltip follow), Sounds,
# Start With Windows, a language file and English, a second start and session lock and
# unlock against a user's Disable, Restart and Exit.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
wine reg delete "$run_key" /v Vellix /f >/dev/null 2>&1 || true

# Menu paths from the last item, Enable, upwards: Do Not Expand in..., Language, Sounds,
# Start With Windows; from the first, Exit, downwards: Restart. The language submenu opens
# with its first item, English, selected; the language files follow it.
menu_enable=(end enter)
menu_sounds=(end up up up enter)
menu_autostart=(end up up up up enter escape)  # the menu opens again after this command
menu_english=(end up up right enter escape)
menu_language_file=(end up up right down enter escape)
menu_restart=(home down enter)
menu_exit=(home enter)

vx_folder
vx_settings 'Sounds=0'
# A language file: UTF-16 with a byte-order mark, as the program reads them.
printf '[General]\r\nLanguage=Deutsch\r\n[Strings]\r\n5=Eingeschaltet\r\n6=Ausgeschaltet\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$VX_DIR/Deutsch.lng"

vt_start
vx_wait_main
first=$(vt_main_handle)
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "btw"
e2e_expect_text 'by the way' "btw expands at start"
xdotool type " "
vt_expect_icon on "at start"
vt_expect_tip ": Turn On" "at start"

# Typing while switched off only types; switched on again, the next keystroke expands.
# A blank ends each word, typed once the expansion is there (a key typed within the
# print delay would cancel it).
typed='by the way '
type_btw() {  # $1 on|off, $2 what the check is about
  xdotool type --delay 40 "btw"
  if [ "$1" = on ]; then typed+='by the way'; else typed+='btw'; sleep 0.5; fi
  e2e_expect_text "$typed" "$2"
  xdotool type " "
  typed+=' '
  e2e_expect_text "$typed" "$2"
}
check_typing() {  # the same in the target after clicking into it
  vt_click_target
  type_btw "$@"
}
vt_menu "${menu_enable[@]}"
vt_expect_icon off "after Disable"
vt_expect_tip ": Turn Off" "after Disable"
check_typing off "no expansion after Disable"
vt_menu "${menu_enable[@]}"
vt_expect_icon on "after Enable"
vt_expect_tip ": Turn On" "after Enable"
check_typing on "expansion after Enable"

# Sounds flips the setting in settings.ini, both ways.
for want in 1 0; do
  vt_menu "${menu_sounds[@]}"
  e2e_wait '[ "$(vx_ini_value Sounds)" = "$want" ]' 50 || e2e_fail "Sounds is '$(vx_ini_value Sounds)', not $want"
done

# Start With Windows writes the Run value naming this program and removes it again.
exe_win=$(e2e_winpath "$VX_DIR/Vellix.exe")
autostart_value() { wine reg query "$run_key" /v Vellix 2>/dev/null | tr -d '\r' | grep -F 'Vellix.exe' || true; }
vt_menu "${menu_autostart[@]}"
e2e_wait '[ -n "$(autostart_value)" ]' 50 || e2e_fail "Start With Windows wrote no Run value"
case "$(autostart_value)" in
  *"\"$exe_win\" /autoload"*) ;;
  *) e2e_fail "the Run value '$(autostart_value)' does not name $exe_win" ;;
esac
vt_menu "${menu_autostart[@]}"
e2e_wait '[ -z "$(autostart_value)" ]' 50 || e2e_fail "Start With Windows left the Run value"

# A language item stores the file in LangFile and the tooltip speaks that language; the
# English item empties LangFile.
vt_menu "${menu_language_file[@]}"
e2e_wait '[ "$(vx_ini_value LangFile)" = Deutsch.lng ]' 50 || e2e_fail "LangFile is '$(vx_ini_value LangFile)'"
vt_expect_tip ": Eingeschaltet" "in the chosen language"
vt_menu "${menu_english[@]}"
e2e_wait '[ -z "$(vx_ini_value LangFile)" ]' 50 || e2e_fail "LangFile is '$(vx_ini_value LangFile)' after English"
vt_expect_tip ": Turn On" "in English again"

# A second start while the user switched the engine off switches it on: the icon and the
# tooltip follow and the next keystroke expands in the window that kept the focus.
vt_menu "${menu_enable[@]}"
vt_expect_icon off "Disable before the second start"
check_typing off "no expansion before the second start"
# (Wine's explorer creates a balloon 2 s after it was asked for, just when Vellix hides
# the "Already running…" balloon again, so the balloon itself cannot be seen here.)
vx_run
[ "$(vt_main_handle)" = "$first" ] || e2e_fail "the second start replaced the running instance"
[ "$(vx_log | grep -c '======================Start ')" = 2 ] || e2e_fail "the second start wrote no start record"
type_btw on "expansion right after a second start"
vt_expect_icon on "after the second start"
vt_expect_tip ": Turn On" "after the second start"

# Session lock switches the engine off, unlock on again: the first keystroke after the
# unlock expands in the window that kept the focus.
lock() { [ "$(vx_send "$VX_WM_WTSSESSION_CHANGE" "$VX_WTS_SESSION_LOCK" 1)" = 1 ] || e2e_fail "lock not handled"; sleep 0.3; }
unlock() { [ "$(vx_send "$VX_WM_WTSSESSION_CHANGE" "$VX_WTS_SESSION_UNLOCK" 1)" = 1 ] || e2e_fail "unlock not handled"; sleep 0.3; }
lock
vx_log_has "Uninstall Engine: Yes"
type_btw off "no expansion while locked"
unlock
vx_log_has "Before Uninstall Engine: NO"
type_btw on "expansion right after unlock"

# After the user's Disable, lock and unlock leave the engine off.
vt_menu "${menu_enable[@]}"
vt_expect_icon off "Disable before lock"
lock
unlock
check_typing off "no expansion after the user's Disable, lock and unlock"
vt_expect_icon off "after lock and unlock"
[ "$(vx_log | grep -c 'WR_NEED_INSTALL')" = 1 ] || e2e_fail "the unlock after the user's Disable switched the engine"
vt_menu "${menu_enable[@]}"
check_typing on "expansion after Enable"

# Restart: a new instance comes up with its own window and icon, the old one ends.
vt_menu "${menu_restart[@]}"
e2e_wait '! kill -0 "$VX_PID" 2>/dev/null' 200 || e2e_fail "the old instance did not end at Restart"
e2e_wait '[ -n "$(vt_main_handle)" ] && [ "$(vt_main_handle)" != "$first" ]' 300 ||
  e2e_fail "no new instance after Restart"
second=$(vt_main_handle)
e2e_wine "$VX_MSG" icon "$first" 1 && e2e_fail "the old instance's icon stayed"
e2e_wait 'e2e_wine "$VX_MSG" icon "$second" 1' 100 || e2e_fail "the new instance has no icon"
[ "$(vx_log | grep -c '======================Start ')" = 3 ] || e2e_fail "Restart wrote no start record"
check_typing on "expansion after Restart"

# Exit ends the process and removes the icon; what the run changed stays in settings.ini
# and the database.
vt_menu "${menu_exit[@]}"
vx_wait_gone
e2e_wine "$VX_MSG" icon "$second" 1 && e2e_fail "the icon stayed after Exit"
expansions=$(grep -o 'by the way' <<<"$typed" | wc -l)
[ "$(vx_ini_value PrintedChars)" = $((expansions * 10)) ] ||
  e2e_fail "PrintedChars is '$(vx_ini_value PrintedChars)', not $((expansions * 10))"
[ "$(vx_ini_value Sounds)" = 0 ] || e2e_fail "Sounds is '$(vx_ini_value Sounds)' after Exit"
[ "$(vx_usage 'by the way')" = "$expansions" ] || e2e_fail "usage count $(vx_usage 'by the way'), not $expansions"
e2e_pass
