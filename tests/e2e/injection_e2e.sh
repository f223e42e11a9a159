#!/usr/bin/env bash
# The injector's key records land in another process's edit control: Unicode characters
# (also outside the Basic Multilingual Plane), CR LF as one line break, Tab, Backspaces in
# both styles, and Left presses that move the caret before the next character.
. "$(dirname "$0")/e2e_lib.sh"
e2e_enter "$@"

probe=$E2E_TOOLS/hook-probe/hook-probe.exe
type_text() { e2e_wine "$probe" type "$@" || e2e_fail "hook-probe type $*"; }

e2e_start_target
e2e_focus_target

type_text 'Hi\x{E4}\x{1F600}' 0 0
e2e_expect_text 'Hi\303\244\360\237\230\200' "Unicode characters"

type_text '\r\n' 0 0
e2e_expect_text 'Hi\303\244\360\237\230\200\r\n' "CR LF gives one line break"

type_text '\tX' 0 0
e2e_expect_text 'Hi\303\244\360\237\230\200\r\n\tX' "Tab"

# Unicode-flagged Backspaces (the default) erase the Tab and the X.
type_text 'ab' 2 0
e2e_expect_text 'Hi\303\244\360\237\230\200\r\nab' "Backspaces erase"

type_text 'c' 1 0 plain
e2e_expect_text 'Hi\303\244\360\237\230\200\r\nac' "plain Backspace erases"

# Left moves the caret: the next character, typed by the injector or by the keyboard,
# lands inside the parentheses.
type_text '()' 0 1
type_text 'm' 0 0
e2e_expect_text 'Hi\303\244\360\237\230\200\r\nac(m)' "Left moves the caret"
xdotool type --delay 30 "k"
e2e_expect_text 'Hi\303\244\360\237\230\200\r\nac(mk)' "typing after Left"

# The caret query answers for the target's window.
position=$(e2e_wine "$probe" caret "$E2E_TITLE" | tr -d '\r') || e2e_fail "caret query: $position"
[[ "$position" =~ ^[0-9]+\ [0-9]+$ ]] || e2e_fail "caret position '$position'"

e2e_pass
