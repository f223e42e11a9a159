#!/usr/bin/env bash
# The user's expansion options with real keys: a keystroke that waits for the end of its
# word (and never fires inside a longer word), a Backspace right after an expansion that
# undoes it, and capitals of the keystroke carried into the phrase.
. "$(dirname "$0")/e2e_lib.sh"
. "$(dirname "$0")/engine_host_lib.sh"
e2e_enter "$@"

eh_phrase btw 'by the way'
eh_phrase sig 'Best regards' 0 1 0

e2e_start_target
eh_start
e2e_focus_target

text=""
expect() { text+=$1; e2e_expect_text "$text" "$2"; }
expect_still() { sleep 0.5; e2e_expect_text "$text" "$1"; }

# Expand when the word ends: "signal" holds the keystroke sig, but only a word that ends
# as sig expands; the separator comes back after the phrase.
[ "$(eh_cmd 'options 1 0 0')" = 1 ] || e2e_fail "options"
eh_type 'signal '
expect 'signal ' "a longer word"
expect_still "no expansion inside a longer word"
eh_type 'sig '
expect 'Best regards ' "the separator came back"
eh_type 'btw.'
expect 'by the way.' "a full stop ends the word"
eh_type ' '; expect ' ' "blank"

# Undo: the Backspace right after the expansion brings the keystroke back, and it stays.
[ "$(eh_cmd 'options 0 1 0')" = 1 ] || e2e_fail "options"
eh_type btw
expect 'by the way' "expanded"
xdotool key BackSpace
text=${text%by the way}; expect 'btw' "undone"
expect_still "the keystroke does not expand again"
eh_type ' '; expect ' ' "blank"
# A second Backspace after another key is an ordinary Backspace.
eh_type btw
expect 'by the way' "expanded again"
eh_type x; expect 'x' "another key first"
xdotool key BackSpace
text=${text%x}; expect '' "an ordinary Backspace"
eh_type ' '; expect ' ' "blank"

# Case that follows the keystroke.
[ "$(eh_cmd 'options 0 0 1')" = 1 ] || e2e_fail "options"
eh_type Btw
expect 'By the way' "first letter in capitals"
eh_type ' '; expect ' ' "blank"
eh_type BTW
expect 'BY THE WAY' "all in capitals"
eh_type ' '; expect ' ' "blank"

# All three: undo after a word-end expansion gives back keystroke and separator.
[ "$(eh_cmd 'options 1 1 1')" = 1 ] || e2e_fail "options"
eh_type 'Btw '
expect 'By the way ' "word end with case"
xdotool key BackSpace
text=${text%By the way }; expect 'Btw ' "undone with its separator"
expect_still "stays undone"

e2e_pass
