#!/usr/bin/env bash
# Switching the running engine: Start twice (the second answers false and the first keeps
# working), Stop twice (the second answers false), nothing is expanded while stopped, a
# restart expands again, and a print callback that refuses prevents every insertion.
. "$(dirname "$0")/e2e_lib.sh"
. "$(dirname "$0")/engine_host_lib.sh"
e2e_enter "$@"

eh_phrase btw 'by the way'
e2e_start_target
eh_start
grep -q " ready 1 1$" "$EH_LOG" || e2e_fail "engine-host did not start the engine"
e2e_focus_target

text=""
expect() { text+=$1; e2e_expect_text "$text" "$2"; }
expect_still() { sleep 0.5; e2e_expect_text "$text" "$1"; }

[ "$(eh_cmd running)" = 1 ] || e2e_fail "not running after Start"
[ "$(eh_cmd start)" = 0 ] || e2e_fail "a second Start answered true"
eh_type btw; expect 'by the way' "expansion after a second Start"
eh_type ' '; expect ' ' "blank"

[ "$(eh_cmd stop)" = 1 ] || e2e_fail "Stop answered false"
[ "$(eh_cmd stop)" = 0 ] || e2e_fail "Stop on a stopped engine answered true"
[ "$(eh_cmd running)" = 0 ] || e2e_fail "running after Stop"
eh_mark
eh_type btw; expect 'btw' "typed while stopped"
expect_still "no expansion while stopped"
[ -z "$(eh_log_since)" ] || e2e_fail "callbacks while stopped: $(eh_log_since)"
eh_type ' '; expect ' ' "blank"

[ "$(eh_cmd start)" = 1 ] || e2e_fail "Start after Stop answered false"
eh_type btw; expect 'by the way' "expansion after a restart"
eh_type ' '; expect ' ' "blank"

# Refused: asked, but nothing is scheduled or typed.
[ "$(eh_cmd refuse)" = 1 ] || e2e_fail "refuse"
eh_mark
eh_type btw; expect 'btw' "refused keystroke"
expect_still "no expansion when refused"
eh_expect_log_order "print 0 1 btw"
eh_log_since | grep -q "notify 3" && e2e_fail "a refused insertion was scheduled"
[ "$(eh_cmd allow)" = 1 ] || e2e_fail "allow"
eh_type ' btw'; expect ' by the way' "allowed again"

eh_cmd quit >/dev/null
e2e_pass
