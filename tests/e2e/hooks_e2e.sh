#!/usr/bin/env bash
# A host with the keyboard hook manager and the window-event hook manager sees the keys
# xdotool types into another process (flags 0, translated into their characters), the
# window events the target raises (foreground, focus, caret location) and the injected
# flag on keys sent by SendInput; Ctrl shortcuts give no text; both hooks are released at the end.
. "$(dirname "$0")/e2e_lib.sh"
e2e_enter "$@"

probe=$E2E_TOOLS/hook-probe/hook-probe.exe
log=$E2E_TMP/probe.log

e2e_wine_bg "$probe" listen "$(e2e_winpath "$log")" 120
e2e_wait 'grep -q "^ready" "$log" 2>/dev/null' 300 || e2e_fail "the probe did not install its hooks"

e2e_start_target
e2e_focus_target
xdotool type --delay 30 "Hel,lo"
e2e_expect_text "Hel,lo" "typed text"
xdotool key --delay 30 ctrl+v
e2e_wine "$probe" type 'Z' 0 0 || e2e_fail "injection"
e2e_expect_text "Hel,loZ" "injected text"
sleep 0.5
touch "$log.stop"
e2e_wait 'grep -q "^end" "$log"' 100 || e2e_fail "the probe did not end"
tr -d '\r' <"$log" >"$E2E_TMP/log.txt"

grep -q '^event 3 0 ' "$E2E_TMP/log.txt" || e2e_fail "no foreground event"
grep -q '^event 8005 ' "$E2E_TMP/log.txt" || e2e_fail "no focus event"
grep -q '^event 800B -8 ' "$E2E_TMP/log.txt" || e2e_fail "no caret location event"

# Physical key-downs (flags 0) with their texts, in order.
typed=$(awk '$1 == "key" && $2 == "100" && $5 == "0" { printf "%s", $6 }' "$E2E_TMP/log.txt")
[ "$typed" = "Hel,lo" ] || e2e_fail "physical keys gave '$typed'"
# Ctrl shortcuts give no text: the V key-down under Ctrl has an empty text field.
grep -E "^(ready|key 100 56 )" "$E2E_TMP/log.txt" || true
awk '$1 == "key" && $2 == "100" && $3 == "56" { found = 1; if (NF != 5) bad = 1 }
     END { exit !(found && !bad) }' "$E2E_TMP/log.txt" || e2e_fail "Ctrl+V gave text"
# The injected character carries LLKHF_INJECTED.
grep -q '^key 100 E7 5A 10' "$E2E_TMP/log.txt" || e2e_fail "no injected key record"
grep -q '^end 1 0' "$E2E_TMP/log.txt" || e2e_fail "hooks not released: $(grep '^end' "$E2E_TMP/log.txt")"

e2e_pass
