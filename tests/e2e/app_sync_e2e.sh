#!/usr/bin/env bash
# Database.xml replaced on disk while Vellix runs, as a synchronisation client or another
# program does it:
#  1. a new version renamed over the file: its new phrase expands at once, and its usage
#     counts are the ones Vellix goes on from;
#  2. a file written in place in two steps, with a pause between them: the half-written
#     file is not loaded and not saved over (one balloon says so), the uses typed meanwhile
#     are added to the complete file when it arrives, and its new phrase expands;
#  3. the phrase editor open during a change: its title says so, and OK asks before it
#     writes over the other version (No keeps the editor open, Yes saves with a backup).
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

# Writes a database: arguments "word|keystroke|count"...
write_db() {
  local out=$1
  shift
  python3 - "$out" "$@" <<'PY'
import sys
lines = ['<?xml version="1.0" ?>', '<Tessil_Phrase_Data>']
for spec in sys.argv[2:]:
    word, keystroke, count = spec.split('|')
    lines += [f'    <Phrase CaseSensitive="0" AddOrReplace="1" LeftAfter="0" CountUsage="{count}" UseWithList="NotUse" Enabled="1">',
              f'        <Word>{word}</Word>',
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
}

# Types a keystroke, waits out the expansion (a key typed within the print delay would
# cancel it), then a blank.
type_phrase() {
  xdotool type --delay 40 "$1"
  sleep 0.5
  xdotool type " "
}

# Renames a new version over the database, as synchronisation clients do.
replace_db() {
  write_db "$E2E_TMP/incoming.xml" "$@"
  mv -f "$E2E_TMP/incoming.xml" "$DB"
}

write_db "$E2E_TMP/first.xml" 'by the way|btw|0' 'best regards|br|0'
vx_folder "$E2E_TMP/first.xml"
vx_settings 'Sounds=0'
DB=$VX_DIR/Database.xml

vt_start
vx_wait_main
vt_wait_ready
e2e_start_target
e2e_focus_target

type_phrase btw
e2e_expect_text 'by the way ' "btw before any change"
e2e_wait '[ "$(vx_usage "by the way")" = 1 ]' 100 || { vx_log | tail -n 20; cat "$DB"; e2e_fail "the first use was not saved"; }

# 1. A new version from another computer: a new phrase, other counts.
replace_db 'by the way|btw|5' 'best regards|br|7' 'see you later|cul|0'
vx_log_has 'Database file changed on disk, loaded again. Phrases: 3, usage counts carried over: 0' 50
vt_click_target
type_phrase cul
e2e_expect_text 'by the way see you later ' "the new phrase expands at once"
type_phrase br
e2e_expect_text 'by the way see you later best regards ' "br after the change"
e2e_wait '[ "$(vx_usage "best regards")" = 8 ]' 100 || e2e_fail "best regards: $(vx_usage 'best regards'), not 7 + 1"
[ "$(vx_usage 'see you later')" = 1 ] || e2e_fail "see you later: $(vx_usage 'see you later')"
[ "$(vx_usage 'by the way')" = 5 ] || e2e_fail "by the way: $(vx_usage 'by the way'), not the other side's 5"

# 2. Written in place, the first half, then after a pause the rest.
write_db "$E2E_TMP/second.xml" 'by the way|btw|20' 'best regards|br|8' 'see you later|cul|1' 'thank you|ty|0'
python3 - "$E2E_TMP/second.xml" "$DB" <<'PY'
import sys, time, os
data = open(sys.argv[1], 'rb').read()
half = len(data) // 2
with open(sys.argv[2], 'r+b') as f:
    f.truncate(0)
    f.write(data[:half]); f.flush(); os.fsync(f.fileno())
PY
cp "$DB" "$E2E_TMP/half.xml"
MESSAGE='Database.xml was not read to its end.'
e2e_wait 'e2e_wine "$VX_MSG" texts tooltips_class32 | tr -d "\r" | grep -qF "$MESSAGE"' 150 ||
  e2e_fail "no balloon about the half-written file; tooltips: $(e2e_wine "$VX_MSG" texts tooltips_class32)"
vx_log_has "$MESSAGE"
vt_click_target
type_phrase btw
type_phrase btw
e2e_expect_text 'by the way see you later best regards by the way by the way ' "the phrases Vellix had stay"
sleep 2  # a background save would have written by now
cmp -s "$DB" "$E2E_TMP/half.xml" || e2e_fail "the half-written file was saved over"
[ "$(vx_log | grep -cF "$MESSAGE")" = 1 ] || e2e_fail "the half-written file was reported more than once"
python3 - "$E2E_TMP/second.xml" "$DB" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
with open(sys.argv[2], 'r+b') as f:
    f.seek(len(data) // 2)
    f.write(data[len(data) // 2:])
PY
vx_log_has 'Database file changed on disk, loaded again. Phrases: 4, usage counts carried over: 1' 100
e2e_wait '[ "$(vx_usage "by the way")" = 22 ]' 100 || e2e_fail "by the way: $(vx_usage 'by the way'), not 20 + the 2 typed meanwhile"
[ "$(vx_usage 'thank you')" = 0 ] || e2e_fail "thank you is missing: $(vx_usage 'thank you')"
vt_click_target
type_phrase ty
e2e_expect_text 'by the way see you later best regards by the way by the way thank you ' "the complete file's new phrase"
e2e_wait '[ "$(vx_usage "thank you")" = 1 ]' 100 || e2e_fail "thank you was not counted: $(vx_usage 'thank you')"

# 3. The editor is open when the file changes.
EDITOR='*Edit Phrases*'
vx_run /edit
e2e_wait 'e2e_wine "$VX_MSG" visible "$EDITOR"' 300 || e2e_fail "the editor did not open"
replace_db 'from the other side|ots|3'
cp "$DB" "$E2E_TMP/other-side.xml"
e2e_wait 'vx_window "*Edit Phrases*[changed on disk]"' 100 || e2e_fail "the editor's title does not say that the file changed"
# Posted: OK asks its question in a message box of its own, and a sent message would wait for it.
e2e_wine "$VX_MSG" post "$EDITOR" 0x111 1 0 || e2e_fail "cannot post OK to the editor"
e2e_wait 'vx_window "Vellix"' 100 || e2e_fail "OK did not ask before saving over the other version"
e2e_wine "$VX_MSG" children "Vellix" | tr -d '\r' | grep -qF 'Database.xml was changed on disk by another program' ||
  e2e_fail "the question differs: $(e2e_wine "$VX_MSG" children "Vellix")"
e2e_wine "$VX_MSG" send "Vellix" 0x111 7 0 >/dev/null  # No
e2e_wait '! vx_window "Vellix"' 50 || e2e_fail "the question did not close"
sleep 0.5
e2e_wine "$VX_MSG" visible "$EDITOR" || e2e_fail "No closed the editor"
cmp -s "$DB" "$E2E_TMP/other-side.xml" || e2e_fail "No saved over the other version"
e2e_wine "$VX_MSG" post "$EDITOR" 0x111 1 0 || e2e_fail "cannot post OK to the editor"
e2e_wait 'vx_window "Vellix"' 100 || e2e_fail "the second OK did not ask"
e2e_wine "$VX_MSG" send "Vellix" 0x111 6 0 >/dev/null  # Yes
e2e_wait '! e2e_wine "$VX_MSG" visible "$EDITOR"' 100 || e2e_fail "Yes did not close the editor"
e2e_wait '[ "$(vx_usage "thank you")" = 1 ]' 100 || e2e_fail "the editor's phrases were not saved"
[ -z "$(vx_usage 'from the other side')" ] || e2e_fail "the other version is still in the file"
found=0
for backup in "$VX_DIR"/Phrases_Backup/*.xml; do cmp -s "$backup" "$E2E_TMP/other-side.xml" && found=1; done
[ "$found" = 1 ] || e2e_fail "no backup of the version that was saved over"
# The engine follows the saved file: the other side's phrase is gone, the old ones expand.
vt_click_target
type_phrase br
e2e_expect_text 'by the way see you later best regards by the way by the way thank you best regards ' "br after the editor"
e2e_wait '[ "$(vx_usage "best regards")" = 9 ]' 100 || e2e_fail "best regards: $(vx_usage 'best regards') after the editor, not 9"

vx_run /exit
vx_wait_gone
e2e_pass
