#!/usr/bin/env bash
# The program rule of a phrase edited in the running Vellix.exe's phrase editor: the mode
# "Only in these programs" chosen with the mouse and the keyboard, two programs added by
# typing their names in the details panel (one as a path, one switched off with Space), OK
# saves the lists exactly as the database file writes them, and the engine then expands
# the phrase only in the program named: two copies of the target window under two file
# names (rules-a.exe, rules-b.exe).
. "$(dirname "$0")/vellix_lib.sh"
e2e_enter "$@"

EDITOR='*Edit Phrases*'
editor_open() { vx_window "$EDITOR"; }
# Clicks the middle of the editor's control with the id $1 (res/resource.h).
click_control() {
  local x y w h
  read -r x y w h < <(e2e_wine "$VX_MSG" rect "$EDITOR" "$1" | tr -d '\r') || e2e_fail "no control $1 in the editor"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.5
}
IDC_RULE_MODE=3000
IDC_ADD_PROGRAM=3002

database=$E2E_TMP/Database.xml
printf '<?xml version="1.0" ?>\r\n<Tessil_Phrase_Data>\r\n    <Phrase CaseSensitive="1" AddOrReplace="1" LeftAfter="0" CountUsage="0" UseWithList="NotUse" Enabled="1">\r\n        <Word>by the way</Word>\r\n        <Prefixes>\r\n            <Prefix Disabled="0">btw</Prefix>\r\n        </Prefixes>\r\n        <Include />\r\n        <Exclude />\r\n        <DateCreated Year="2026" Month="12" Day="5" Hour="5" Min="25" Sec="11" />\r\n    </Phrase>\r\n</Tessil_Phrase_Data>\r\n' >"$database"

vx_folder "$database"
vx_settings 'Sounds=0'
vx_start
vx_wait_main
vx_run /edit
e2e_wait editor_open 300 || e2e_fail "/edit did not open the editor"
window=$(timeout 20 xdotool search --sync --name "Edit Phrases" | head -n 1) || e2e_fail "no editor window"
timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
# The first row's usage count, a read-only cell: the row is selected, the panel shows it.
xdotool mousemove $((X + WIDTH - 50)) $((Y + 62)) click 1
sleep 0.5

# The mode: its list opens with a click; Down from "In every program", Enter.
click_control $IDC_RULE_MODE
xdotool key Down
sleep 0.2
xdotool key Return
sleep 0.5
# "Add…" opens its menu; its first entry lets the name be typed in the list.
add_typed() {
  click_control $IDC_ADD_PROGRAM
  xdotool key Down Return
  sleep 0.5
  xdotool type --delay 40 "$1"
  xdotool key Return
  sleep 0.5
}
add_typed 'rules-a.exe'
add_typed 'C:\Tools\Other.exe'
# The new entry is selected: Space switches it off, as in the keystroke list.
xdotool key space
sleep 0.5
e2e_wait 'vx_window "* Vellix*Edit Phrases*"' 50 || e2e_fail "the editor is not marked modified"

e2e_wine "$VX_MSG" send "$EDITOR" 0x111 1 0 >/dev/null || e2e_fail "cannot send OK to the editor"
e2e_wait '! editor_open' 100 || e2e_fail "OK did not close the editor"
expected=$(printf '%s\r\n' \
  '    <Phrase CaseSensitive="1" AddOrReplace="1" LeftAfter="0" CountUsage="0" UseWithList="UseIncludeList" Enabled="1">' \
  '        <Word>by the way</Word>' \
  '        <Prefixes>' \
  '            <Prefix Disabled="0">btw</Prefix>' \
  '        </Prefixes>' \
  '        <Include>' \
  '            <FileName Disabled="1">Other.exe</FileName>' \
  '            <FileName Disabled="0">rules-a.exe</FileName>' \
  '        </Include>' \
  '        <Exclude />' \
  '        <DateCreated Year="2026" Month="12" Day="5" Hour="5" Min="25" Sec="11" />' \
  '    </Phrase>')
saved_phrase() { sed -n '/<Phrase /,/<\/Phrase>/p' "$VX_DIR/Database.xml"; }
e2e_wait '[ "$(saved_phrase)" = "$expected" ]' 100 || {
  diff <(printf '%s\n' "$expected") <(saved_phrase) >&2 || true
  e2e_fail "the saved phrase does not hold the rule as edited"
}

# The engine follows the saved rule: the phrase expands in rules-a.exe only.
cp "$E2E_TOOLS/target-window/target-window.exe" "$E2E_TMP/rules-a.exe"
cp "$E2E_TOOLS/target-window/target-window.exe" "$E2E_TMP/rules-b.exe"
for name in A B; do
  out=$E2E_TMP/target-$name.txt
  e2e_wine_bg "$E2E_TMP/rules-${name,,}.exe" --title "Target $name" --out "$(e2e_winpath "$out")"
  e2e_wait '[ -f "$out" ]' 300 || e2e_fail "target $name did not start"
  # Side by side: both open at the same place, and a click must reach the one it names.
  target=$(timeout 20 xdotool search --sync --name "^Target $name\$" | head -n 1) || e2e_fail "no Target $name"
  xdotool windowmove "$target" "$([ $name = A ] && echo 0 || echo 640)" 100
  sleep 0.3
done
type_in() {  # target, what must arrive for "btw"
  E2E_TITLE="Target $1"
  E2E_TEXT_FILE=$E2E_TMP/target-$1.txt
  local target
  target=$(timeout 20 xdotool search --name "^$E2E_TITLE\$" | head -n 1) || e2e_fail "no $E2E_TITLE"
  xdotool mousemove --window "$target" 300 330 click 1
  sleep 0.5
  xdotool type --delay 40 btw
  [ "$2" != btw ] || sleep 0.6
  e2e_expect_text "$2" "btw in target $1"
}
type_in B btw
type_in A 'by the way'

vx_run /exit
vx_wait_gone
e2e_pass
