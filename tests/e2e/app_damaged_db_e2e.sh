#!/usr/bin/env bash
# A database file with a mistyped end tag in phrase 3 of 11 and a bare "&" in phrase 1:
# Vellix says once in a balloon and in the log what it read and where reading stopped, runs
# with those phrases ("Tom & Jerry" keeps its "&"), and does not save over the file after a
# typed phrase. The phrase editor shows the same message before it opens; OK there saves
# with a backup of the damaged file first, and from then on typed phrases are saved again.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

python3 - "$E2E_TMP/damaged.xml" <<'PY'
import sys
lines = ['<?xml version="1.0" ?>', '<Tessil_Phrase_Data>']
for i in range(1, 12):
    word, keystroke = ('Tom & Jerry', 'tj') if i == 1 else (f'phrase number {i}', 'kp' + 'abcdefghijk'[i - 1])
    end = '</Wrod>' if i == 3 else '</Word>'  # line 22, column 30
    lines += ['    <Phrase CaseSensitive="1" AddOrReplace="1" LeftAfter="0" CountUsage="0" UseWithList="NotUse" Enabled="1">',
              f'        <Word>{word}{end}',
              '        <Prefixes>',
              f'            <Prefix Disabled="0">{keystroke}</Prefix>',
              '        </Prefixes>',
              '        <Include />',
              '        <Exclude />',
              '        <DateCreated Year="2026" Month="1" Day="2" Hour="3" Min="4" Sec="5" />',
              '    </Phrase>']
lines.append('</Tessil_Phrase_Data>')
with open(sys.argv[1], 'w', newline='') as f:
    f.write('\r\n'.join(lines) + '\r\n')
PY
vx_folder "$E2E_TMP/damaged.xml"
vx_settings 'Sounds=0'
DB=$VX_DIR/Database.xml
cp "$DB" "$E2E_TMP/original.xml"
MESSAGE='Database.xml was not read to its end. Phrases read: 3. Reading stopped at line 22, column 30. Vellix will not save this file by itself until you save it from the phrase editor, which keeps a backup of it first.'

phrases_in_file() {
  python3 - "$DB" <<'PY'
import sys, xml.etree.ElementTree as ET
print('|'.join(p.findtext('Word') for p in ET.parse(sys.argv[1]).getroot().findall('Phrase')))
PY
}

vt_start
vx_wait_main
vt_wait_ready
vx_log_has "$MESSAGE"
[ "$(vx_log | grep -cF 'was not read to its end')" = 1 ] || e2e_fail "the message is not in the log once"
# Wine's notification area shows a balloon as a tooltip window about 2 s after it was asked.
e2e_wait 'e2e_wine "$VX_MSG" texts tooltips_class32 | tr -d "\r" | grep -qF "$MESSAGE"' 100 ||
  e2e_fail "no balloon with the message; tooltips: $(e2e_wine "$VX_MSG" texts tooltips_class32)"

# Vellix runs with what it read; the "&" is read as typed.
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "tj"
e2e_expect_text 'Tom & Jerry' "tj expands with the phrase read before the damage"
vx_log_has "TAC_WORD_IS_PRINTED [Tom & Jerry"
xdotool type " "
xdotool type --delay 40 "kpk"
sleep 0.5
e2e_expect_text 'Tom & Jerry kpk' "a phrase after the damage was not read"
sleep 2  # a background save would have written by now
cmp -s "$DB" "$E2E_TMP/original.xml" || e2e_fail "the damaged file was saved over after a typed phrase"
[ -d "$VX_DIR/Phrases_Backup" ] && e2e_fail "a backup appeared before any save"

# The editor shows the same message before it opens.
vx_run /edit
e2e_wait 'vx_window "Vellix"' 300 || e2e_fail "no message before the editor opens"
e2e_wine "$VX_MSG" children "Vellix" | tr -d '\r' | grep -qF "$MESSAGE" ||
  e2e_fail "the editor's message differs: $(e2e_wine "$VX_MSG" children "Vellix")"
e2e_wine "$VX_MSG" visible "$VX_EDITOR" && e2e_fail "the editor showed before its message"
e2e_wine "$VX_MSG" send "Vellix" "$VX_WM_COMMAND" "$VX_IDOK" 0 >/dev/null || e2e_fail "cannot close the message"
e2e_wait 'e2e_wine "$VX_MSG" visible "$VX_EDITOR"' 300 || e2e_fail "the editor did not open after the message"

# OK saves what was read, with a backup of the damaged file first.
e2e_wine "$VX_MSG" send "$VX_EDITOR" "$VX_WM_COMMAND" "$VX_IDOK" 0 >/dev/null || e2e_fail "cannot send OK to the editor"
e2e_wait '! vx_editor_open' 100 || e2e_fail "OK did not close the editor"
e2e_wait '! cmp -s "$DB" "$E2E_TMP/original.xml"' 100 || e2e_fail "OK in the editor did not save"
[ "$(phrases_in_file)" = 'Tom & Jerry|phrase number 2|phrase number 3' ] || e2e_fail "saved: $(phrases_in_file)"
grep -qF '<Word>Tom &amp; Jerry</Word>' "$DB" || e2e_fail "the & was not written as &amp;"
backups=("$VX_DIR"/Phrases_Backup/*.xml)
[ "${#backups[@]}" = 1 ] && cmp -s "${backups[0]}" "$E2E_TMP/original.xml" ||
  e2e_fail "the backup is not the damaged file: ${backups[*]}"
# The usage count typed while the file was not saved was kept through the editor.
[ "$(vx_usage 'Tom & Jerry')" = 1 ] || e2e_fail "usage count $(vx_usage 'Tom & Jerry') after the editor's save, not 1"

# From now on a typed phrase is saved again.
vt_click_target
xdotool type --delay 40 " tj"
e2e_expect_text 'Tom & Jerry kpk Tom & Jerry' "tj after the save"
e2e_wait '[ "$(vx_usage "Tom & Jerry")" = 2 ]' 100 || e2e_fail "usage count $(vx_usage 'Tom & Jerry'), not 2"

vx_run /exit
vx_wait_gone
e2e_pass
