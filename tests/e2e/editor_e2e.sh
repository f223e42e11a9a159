#!/usr/bin/env bash
# The phrase editor in the running Vellix.exe: a second start with /edit opens it, the user
# adds a phrase and its keystroke with the keyboard, OK saves the database with a backup of
# the previous file and the engine types the new phrase at once. An exit request while the
# editor has unsaved changes asks first, and the answer Cancel keeps the program running.
. "$(dirname "$0")/vellix_lib.sh"
e2e_enter "$@"


vx_folder
vx_settings
vx_start
vx_wait_main
vx_run /edit
e2e_wait vx_editor_open 300 || e2e_fail "/edit did not open the editor"

# Add (Edit menu, "&Add"): the phrase text in its in-place editor, Enter, then the keystroke.
vx_add_phrase "see you later" "cul"

# An exit request now asks "Save changes?"; Cancel keeps the editor and the program.
vx_run /exit &
exit_pid=$!
e2e_wait 'vx_window "Vellix"' 100 || e2e_fail "no save prompt on the exit request"
e2e_wine "$VX_MSG" send "Vellix" "$VX_WM_COMMAND" "$VX_IDCANCEL" 0 >/dev/null || true  # to the message box
wait "$exit_pid" || true
sleep 0.5
vx_main_window || e2e_fail "the program ended although the prompt was cancelled"
vx_editor_open || e2e_fail "the editor closed although the prompt was cancelled"

backups() { find "$VX_DIR/Phrases_Backup" -name '*.xml' 2>/dev/null | wc -l || true; }
backups_before=$(backups)
e2e_wine "$VX_MSG" send "$VX_EDITOR" "$VX_WM_COMMAND" "$VX_IDOK" 0 >/dev/null || e2e_fail "cannot send OK to the editor"
e2e_wait '! vx_editor_open' 100 || e2e_fail "OK did not close the editor"
e2e_wait 'grep -q "see you later" "$VX_DIR/Database.xml"' 100 || e2e_fail "the new phrase was not saved"
grep -q '>cul<' "$VX_DIR/Database.xml" || e2e_fail "the new keystroke was not saved"
backups_after=$(backups)
[ "$backups_after" -gt "$backups_before" ] || e2e_fail "no backup of the previous database"

# The engine runs again and knows the new phrase.
e2e_start_target
e2e_focus_target
xdotool type --delay 40 "cul"
e2e_expect_text 'see you later' "the new phrase is typed"

vx_run /exit
vx_wait_gone
e2e_pass
