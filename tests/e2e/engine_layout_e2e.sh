#!/usr/bin/env bash
# With a German keyboard layout: a keystroke typed on it expands (z and y swap places; the
# word follows the characters), and a character typed with AltGr never lets a keystroke
# fire on text that is not the keystroke. Wine reports AltGr as a key of its own without
# a character (not as Ctrl+Alt, as Windows does), so what is typed under it cannot be
# known and the word ends there: "a@b" must not fire the keystroke "aqb", while "btw"
# typed right after the "@" still expands.
export VELLIX_XKB_LAYOUT=${VELLIX_XKB_LAYOUT:-de}
. "$(dirname "$0")/e2e_lib.sh"
. "$(dirname "$0")/engine_host_lib.sh"
e2e_enter "$@"

eh_phrase 'aqb' 'WRONG'
eh_phrase 'btw' 'by the way'
eh_phrase 'qz' 'quiz'

e2e_start_target
eh_start
e2e_focus_target

setxkbmap -query | grep layout
eh_type 'qz'
e2e_expect_text 'quiz' "a keystroke typed on the German layout"

eh_type ' a@b'
e2e_expect_text 'quiz a@b' "an AltGr character"
sleep 0.5
e2e_expect_text 'quiz a@b' "no keystroke fired on a@b"
eh_type 'tw'
e2e_expect_text 'quiz a@by the way' "a keystroke right after the AltGr character"

e2e_pass
