#!/usr/bin/env bash
# What the user saves from the phrase editor stays saved: a phrase is added, Open of another
# database asks "Save changes?" and Yes writes the database; the editor then ends with
# Cancel. The running program takes over what was saved: the next typed phrase's save keeps
# the added phrase, and its keystroke expands.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

OPEN='Vellix : Open database with phrases'

vx_folder
vx_settings 'Sounds=0'
DB=$VX_DIR/Database.xml
cp "$E2E_ROOT/tests/fixtures/vellix-db/best_regards.xml" "$VX_DIR/Other.xml"
usage_before=$(vx_usage 'by the way')

vt_start
vx_wait_main
vt_wait_ready
vx_run /edit
e2e_wait 'e2e_wine "$VX_MSG" visible "$VX_EDITOR"' 300 || e2e_fail "/edit did not open the editor"

# A new phrase and its keystroke, typed.
vx_add_phrase "kept after cancel" "kac"

# Open another database; "Save changes?" answered Yes writes the database.
e2e_wine "$VX_MSG" post "$VX_EDITOR" "$VX_WM_COMMAND" "$VX_ID_OPEN_DATABASE" 0 || e2e_fail "cannot send Open"
e2e_wait 'vx_window "$OPEN"' 100 || e2e_fail "no open-file dialog"
e2e_wine "$VX_MSG" settext "$OPEN" "$VX_OPEN_FILE_NAME" "$(e2e_winpath "$VX_DIR/Other.xml")" || e2e_fail "no file name field"
e2e_wine "$VX_MSG" post "$OPEN" "$VX_WM_COMMAND" "$VX_IDOK" 0 || e2e_fail "cannot choose the file"
e2e_wait 'vx_window "Vellix"' 100 || e2e_fail "no save prompt before another database is opened"
e2e_wine "$VX_MSG" children "Vellix" | grep -qF "Save changes?" || e2e_fail "the prompt is not the save prompt"
e2e_wine "$VX_MSG" send "Vellix" "$VX_WM_COMMAND" "$VX_IDYES" 0 >/dev/null || e2e_fail "cannot answer Yes"
e2e_wait 'grep -qF "kept after cancel" "$DB"' 100 || e2e_fail "Yes did not save the database"
e2e_wait 'vx_window "*Edit Phrases*Other.xml*"' 100 || e2e_fail "the editor did not open Other.xml"

# Cancel: nothing changed since the load, so the editor ends without asking.
e2e_wine "$VX_MSG" send "$VX_EDITOR" "$VX_WM_COMMAND" "$VX_IDCANCEL" 0 >/dev/null || e2e_fail "cannot send Cancel"
e2e_wait '! vx_editor_open' 100 || e2e_fail "Cancel did not close the editor"

# The next typed phrase is counted and saved; what the user saved stays in the file.
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "btw"
e2e_expect_text 'by the way' "btw expands after the editor"
VX_WANT_USAGE=$((usage_before + 1))
e2e_wait '[ "$(vx_usage "by the way")" = "$VX_WANT_USAGE" ]' 100 ||
  e2e_fail "usage count $(vx_usage 'by the way'), not $VX_WANT_USAGE"
grep -qF "kept after cancel" "$DB" || e2e_fail "the phrase the user saved was lost by the next save"
grep -qF '>kac<' "$DB" || e2e_fail "the keystroke the user saved was lost by the next save"
xdotool type " "
xdotool type --delay 40 "kac"
e2e_expect_text 'by the way kept after cancel' "the saved phrase expands"

vx_run /exit
vx_wait_gone
e2e_pass
