#!/usr/bin/env bash
# Per-program rules with the real Vellix.exe: two copies of the target window under two
# file names (rules-a.exe, rules-b.exe). A phrase limited to one program expands only
# there, one kept out of a program expands everywhere else; the tray command "Do Not
# Expand in ..." excludes the focused program (nothing is expanded there, the tooltip says
# so), settings.ini keeps the exclusion across a restart, and choosing the command again
# takes it back.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

# From the last item, Enable, upwards: Do Not Expand in ...; from the first, Exit, down:
# Restart.
menu_exclude=(end up enter)
menu_restart=(home down enter)

phrase() {  # keystroke, text, list mode, include file name, exclude file name
  local include='<Include />' exclude='<Exclude />'
  [ -z "$4" ] || include="<Include>\r\n            <FileName Disabled=\"0\">$4</FileName>\r\n        </Include>"
  [ -z "$5" ] || exclude="<Exclude>\r\n            <FileName Disabled=\"0\">$5</FileName>\r\n        </Exclude>"
  printf '    <Phrase CaseSensitive="1" AddOrReplace="1" LeftAfter="0" CountUsage="0" UseWithList="%s" Enabled="1">\r\n' "$3"
  printf '        <Word>%s</Word>\r\n        <Prefixes>\r\n            <Prefix Disabled="0">%s</Prefix>\r\n        </Prefixes>\r\n' "$2" "$1"
  printf "        $include\r\n        $exclude\r\n"
  printf '        <DateCreated Year="2026" Month="12" Day="5" Hour="5" Min="25" Sec="11" />\r\n    </Phrase>\r\n'
}
database=$E2E_TMP/Database.xml
{
  printf '<?xml version="1.0" ?>\r\n<Tessil_Phrase_Data>\r\n'
  phrase btw 'by the way' NotUse '' ''
  phrase qa 'only in A' UseIncludeList rules-a.exe ''
  phrase qb 'not in B' UseExcludeList '' rules-b.exe
  printf '</Tessil_Phrase_Data>\r\n'
} >"$database"

# Two targets under two program names, each with its own text file.
cp "$E2E_TOOLS/target-window/target-window.exe" "$E2E_TMP/rules-a.exe"
cp "$E2E_TOOLS/target-window/target-window.exe" "$E2E_TMP/rules-b.exe"
start_target() {  # name: A or B
  local out=$E2E_TMP/target-$1.txt
  e2e_wine_bg "$E2E_TMP/rules-${1,,}.exe" --title "Target $1" --out "$(e2e_winpath "$out")"
  e2e_wait '[ -f "$out" ]' 300 || e2e_fail "target $1 did not start"
  # Side by side: both open at the same place, and a click must reach the one it names.
  local window x=0
  [ "$1" = A ] || x=640
  window=$(timeout 20 xdotool search --sync --name "^Target $1\$" | head -n 1) || e2e_fail "no window Target $1"
  xdotool windowmove "$window" "$x" 100
  sleep 0.3
}
# Gives target $1 the focus (a click brings it back after the tray menu took it) and makes
# it the one that e2e_expect_text reads.
use_target() {
  local window
  E2E_TITLE="Target $1"
  E2E_TEXT_FILE=$E2E_TMP/target-$1.txt
  window=$(timeout 20 xdotool search --name "^$E2E_TITLE\$" | head -n 1) || e2e_fail "no window Target $1"
  timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  sleep 0.2
  xdotool mousemove --window "$window" 300 330 click 1
  sleep 0.3
  xdotool key ctrl+End
  sleep 0.2
}
declare -A typed=([A]='' [B]='')
# Types keystroke $2 and a blank into target $1; $3 is what must arrive for the keystroke.
type_in() {
  use_target "$1"
  xdotool type --delay 40 "$2"
  if [ "$3" = "$2" ]; then sleep 0.6; fi  # no expansion is coming: wait it out
  typed[$1]+=$3
  e2e_expect_text "${typed[$1]}" "$2 in target $1 gives '$3'"
  xdotool type " "
  typed[$1]+=' '
  e2e_expect_text "${typed[$1]}" "the blank after $2 in target $1"
}
ini_text() {  # settings.ini as UTF-8, whether the file is UTF-16 or 8-bit
  local bom
  bom=$(head -c 2 "$VX_INI" 2>/dev/null | od -An -tx1 | tr -d ' ')
  if [ "$bom" = fffe ]; then iconv -f UTF-16 -t UTF-8 "$VX_INI"; else cat "$VX_INI"; fi 2>/dev/null | tr -d '\r'
}
excluded_value() { ini_text | sed -n '/^\[ExcludedPrograms\]/,/^\[/p' | sed -n "s/^$1=//p"; }

vx_folder "$database"
vx_settings 'Sounds=0'
start_target A
start_target B
vt_start
vt_wait_ready

# The phrases' own rules.
type_in A qa 'only in A'
type_in B qa qa
type_in A qb 'not in B'
type_in B qb qb
type_in B btw 'by the way'

# The tray command names the program the user was in and excludes it.
use_target A
vt_menu "${menu_exclude[@]}"
e2e_wait '[ "$(excluded_value rules-a.exe)" = 1 ]' 50 || {
  ini_text >&2
  vx_log | tail -n 5 >&2
  e2e_fail "settings.ini holds no exclusion of rules-a.exe"
}
vx_log_has "Excluded program: rules-a.exe"
type_in A btw btw
type_in A qa qa
type_in B btw 'by the way'
use_target A
vt_expect_tip "Expansion is off in rules-a.exe" "with the excluded program focused"
use_target B
tip=$(vt_tip)
case "$tip" in *"Expansion is off"*) e2e_fail "the tooltip '$tip' speaks of an exclusion in target B" ;; esac

# Across a restart the exclusion stays.
vt_menu "${menu_restart[@]}"
e2e_wait '! kill -0 "$VX_PID" 2>/dev/null' 200 || e2e_fail "the old instance did not end at Restart"
e2e_wait '[ -n "$(vt_main_handle)" ]' 300 || e2e_fail "no new instance after Restart"
vt_wait_ready
sleep 1
type_in A btw btw
type_in B btw 'by the way'
[ "$(excluded_value rules-a.exe)" = 1 ] || e2e_fail "the exclusion was lost at the restart"

# Chosen again, the command takes the exclusion back.
use_target A
vt_menu "${menu_exclude[@]}"
e2e_wait '[ -z "$(excluded_value rules-a.exe)" ]' 50 || e2e_fail "the exclusion stayed in settings.ini"
type_in A btw 'by the way'
type_in A qa 'only in A'

vt_menu home enter  # Exit
vx_wait_gone
e2e_pass
