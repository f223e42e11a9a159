#!/usr/bin/env bash
# The word always ends where the caret may have moved, and the user's keys are never mixed
# into an insertion: a click, the arrow keys and Ctrl+Backspace between the letters of a
# keystroke leave the text alone; a blank typed 20 to 100 ms after the keystroke gives
# either the keystroke unexpanded or the phrase, followed by exactly what was typed; a
# password field keeps no word and never expands.
. "$(dirname "$0")/e2e_lib.sh"
. "$(dirname "$0")/engine_host_lib.sh"
e2e_enter "$@"

eh_phrase btw 'by the way'

e2e_start_target
eh_start
e2e_focus_target

# Waits for the target's text to settle, then prints it.
settled_text() {
  local before after
  after=$(e2e_text)
  while :; do
    sleep 0.4
    before=$after
    after=$(e2e_text)
    [ "$before" = "$after" ] && break
  done
  printf '%s' "$after"
}

expect_unexpanded() {
  local now
  now=$(settled_text)
  case "$now" in *"by the way"*) e2e_fail "$1: expanded: $now" ;; esac
  [ "$now" = "$2" ] || e2e_fail "$1: text is '$now', expected '$2'"
}

# A click between "bt" and "w": the caret may be anywhere now, so nothing is erased.
window=$(xdotool search --name "^$E2E_TITLE\$" | head -n 1)
eh_type bt
e2e_expect_text 'bt' "bt"
xdotool mousemove --window "$window" 300 200 click 1
eh_type w
expect_unexpanded "bt, click, w" "btw"

# Left and Right put the caret back where it was, yet the word has ended.
xdotool key End
eh_type ' bt'
xdotool key Left Right
eh_type w
expect_unexpanded "bt, Left, Right, w" "btw btw"

# Ctrl+Backspace edits more than one character: the word ends.
xdotool key End
eh_type ' btwx'
xdotool key ctrl+BackSpace
sleep 0.3
after_ctrl_backspace=$(settled_text)
case "$after_ctrl_backspace" in *"by the way"*) e2e_fail "expanded after Ctrl+Backspace" ;; esac
echo "after Ctrl+Backspace: '$after_ctrl_backspace'"

# A blank 20 to 100 ms after the keystroke: the keystroke stays (the blank came before the
# insertion began) or the phrase is typed and the blank and the next word follow it.
for gap in 20 40 60 80 100; do
  xdotool key End
  eh_type ' '
  before=$(settled_text)
  eh_type btw
  sleep "0.$(printf '%03d' "$gap")"
  xdotool type --delay 30 ' next'
  now=$(settled_text)
  case "$now" in
    "${before}btw next") echo "gap $gap ms: the blank cancelled the insertion" ;;
    "${before}by the way next") echo "gap $gap ms: expanded, the keys followed the phrase" ;;
    *) e2e_fail "gap $gap ms gave '${now#"$before"}' after '$before'" ;;
  esac
done

# A password field: the keystroke is typed as it is and never expands.
E2E_TEXT_FILE_MAIN=$E2E_TEXT_FILE
E2E_TEXT_FILE=$E2E_TMP/password.txt
e2e_wine_bg "$E2E_TOOLS/target-window/target-window.exe" --title "Vellix Password" \
  --out "$(e2e_winpath "$E2E_TEXT_FILE")" --password 1
e2e_wait '[ -f "$E2E_TEXT_FILE" ]' 300 || e2e_fail "the password window did not start"
E2E_TITLE="Vellix Password" e2e_focus_target
eh_mark
eh_type btw
e2e_expect_text 'btw' "typed into the password field"
expect_unexpanded "password field" "btw"
grep -q "notify 3" <(eh_log_since) && e2e_fail "an insertion was scheduled in a password field"
E2E_TEXT_FILE=$E2E_TEXT_FILE_MAIN

e2e_pass
