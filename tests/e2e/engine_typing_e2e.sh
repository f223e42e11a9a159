#!/usr/bin/env bash
# The running engine expands keystrokes typed with the keyboard (xdotool) into the target
# window: replace and append, caret movement after the phrase, CR LF and Tab, characters
# outside the Basic Multilingual Plane, Shift and case-sensitive keystrokes, Ctrl+V ending
# the word, a key within the print delay, a key while the phrase is being typed, phrases that contain
# another keystroke, and the notify codes around each cycle. Every case ends with a blank,
# which ends the word; the target's text grows case by case.
. "$(dirname "$0")/e2e_lib.sh"
. "$(dirname "$0")/engine_host_lib.sh"
e2e_enter "$@"

LONG=$(printf '0123456789%.0s' $(seq 60))  # 600 characters, no letter

eh_phrase btw 'by the way'                   # 1 replace
eh_phrase hel 'hello world' 0 0              # 2 append
eh_phrase pp '()' 0 1 1                      # 3 one Left after the text
eh_phrase crl 'a&#13;&#10;&#9;b'             # 4 CR LF and a Tab
eh_phrase smi '&#x1F600;!'                   # 5 outside the BMP
eh_phrase Cap 'Capital' 1                    # 6 case-sensitive
eh_phrase zv 'ZV!'                           # 7 after Ctrl+V
eh_phrase kc 'cancelled?' 0 1 1              # 8 100 ms delay
eh_phrase lng "$LONG"                        # 9
eh_phrase rec 'say btw and hel now'          # 10 holds two other keystrokes
PASTED=$(printf 'pasted line %.0s' $(seq 25))  # 300 characters
eh_phrase pst "[${PASTED}]" 0 1 1            # 11 pasted, then one Left

e2e_start_target
eh_start
e2e_focus_target

text=""
expect() { text+=$1; e2e_expect_text "$text" "$2"; }
# After a quiet moment the text must still be exactly what it was.
expect_still() { sleep 0.5; e2e_expect_text "$text" "$1"; }

# Replace: the keystroke goes, the phrase stays; notify 3 before, 2 after the cycle.
eh_mark
eh_type btw
expect 'by the way' "replace"
eh_expect_log_order "print 0 1 btw" "notify 3" "notify 4" "print 1 1 btw" "notify 2"
eh_type ' '; expect ' ' "blank"

# Append: the keystroke stays and the rest of the phrase follows it.
eh_type hel
expect 'hello world' "append"
eh_type ' '; expect ' ' "blank"

# Caret left: the next key lands between the parentheses.
eh_type pp
expect '()' "phrase with caret left"
eh_type x
text=${text%()}; expect '(x)' "typed after caret left"
xdotool key End
eh_type ' '; expect ' ' "blank"

eh_type crl
expect 'a\r\n\tb' "CR LF and Tab"
eh_type ' '; expect ' ' "blank"

eh_type smi
expect '\360\237\230\200!' "character outside the BMP"
eh_type ' '; expect ' ' "blank"

# Case-sensitive: the lower-case word stays, Shift+c gives the capital keystroke.
eh_type cap; expect 'cap' "lower-case keystroke"
expect_still "case-sensitive keystroke not matched in lower case"
eh_type ' '; expect ' ' "blank"
eh_type Cap
expect 'Capital' "Shift with a letter"
eh_type ' '; expect ' ' "blank"

# Ctrl+V ends the word (the pasted text is not known): z, Ctrl+V, v is no keystroke.
eh_type z; expect 'z' "z"
xdotool key ctrl+v
expect_still "Ctrl+V"
eh_type v; expect 'v' "the word after Ctrl+V"
expect_still "no expansion after Ctrl+V"
eh_type ' '; expect ' ' "blank"

# A key within the 100 ms delay cancels: cycle 3 then 2, nothing typed.
eh_mark
xdotool type --delay 10 kcx
expect 'kcx' "typed within the delay"
expect_still "cancelled insertion"
eh_expect_log_order "print 0 8 kc" "notify 3" "notify 1" "notify 2"
eh_log_since | grep -q "print 1 8" && e2e_fail "a cancelled phrase was reported typed"
eh_type ' '; expect ' ' "blank"

# A key pressed once the long phrase has begun is held back while it is typed and follows
# it: nothing is mixed into the phrase, and the key starts the next word, so "tw" typed
# afterwards completes "btw". (The phrase has the only digits of the text. A key that comes
# before the insertion begins cancels it, as "kc" above shows; the hold on physical keys
# during an insertion is checked key by key in the engine's unit tests.)
eh_mark
eh_type lng
e2e_wait 'grep -q 0123456789 "$E2E_TEXT_FILE"' 100 ||
  e2e_fail "the long phrase was not typed: $(tail -c 80 "$E2E_TEXT_FILE")"
xdotool type b
e2e_wait '[ "$(tail -c 1 "$E2E_TEXT_FILE")" = b ]' 100 ||
  e2e_fail "the key typed during the phrase: $(tail -c 80 "$E2E_TEXT_FILE")"
[ "$(tail -c 601 "$E2E_TEXT_FILE")" = "${LONG}b" ] ||
  e2e_fail "the key typed during the phrase went into it: $(tail -c 620 "$E2E_TEXT_FILE")"
text+="$LONG"  # the b and the tw typed next are the keystroke btw
eh_type tw
expect 'by the way' "the held key began the next word"
eh_type ' '; expect ' ' "blank"

# The engine's own keys never trigger it again, though the phrase holds "btw" and "hel".
eh_mark
eh_type rec
expect 'say btw and hel now' "phrase holding keystrokes"
expect_still "the injected keystrokes stayed as they are"
eh_log_since | grep -E -q "print 0 (1|2) " && e2e_fail "injected keys were matched"

# A long phrase goes in through the clipboard: complete, and the Left press after it puts
# the caret before its closing bracket.
[ "$(eh_cmd 'paste 200')" = 1 ] || e2e_fail "paste 200"
eh_type ' '; expect ' ' "blank"
eh_mark
eh_type pst
expect "[${PASTED}]" "pasted phrase"
eh_type x
text=${text%]}; expect 'x]' "typed after the pasted phrase's Left press"
eh_expect_log_order "print 0 11 pst" "notify 3" "print 1 11 pst" "notify 2"

e2e_pass
