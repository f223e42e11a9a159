# Helpers for the end-to-end tests of the running engine, on top of e2e_lib.sh: a phrase
# database file built case by case, engine-host started on it, its commands and its log.
#
#   eh_phrase KEYSTROKE TEXT [CASE] [ADD_OR_REPLACE] [LEFT_AFTER]
#                         TEXT as XML character data (&#13;&#10; for CR LF, &#9; a Tab)
#   eh_start [ARG...]     writes the database, starts engine-host, waits for its ready line
#   eh_cmd COMMAND        runs a host command and prints its result (0/1)
#   eh_mark               remembers the log's length; eh_log_since prints what came after
#   eh_type TEXT          xdotool type, 30 ms between keys

EH_DB_BODY=""

eh_phrase() {
  EH_DB_BODY+="<Phrase CaseSensitive=\"${3:-0}\" AddOrReplace=\"${4:-1}\" LeftAfter=\"${5:-0}\""
  EH_DB_BODY+=" CountUsage=\"0\" UseWithList=\"NotUse\" Enabled=\"1\"><Word>$2</Word>"
  EH_DB_BODY+="<Prefixes><Prefix Disabled=\"0\">$1</Prefix></Prefixes><Include /><Exclude />"
  EH_DB_BODY+="</Phrase>"
}

eh_start() {
  EH_DB=$E2E_TMP/phrases.xml
  EH_LOG=$E2E_TMP/host.log
  EH_CMD=$E2E_TMP/host.cmd
  printf '<?xml version="1.0" ?>\n<Tessil_Phrase_Data>%s</Tessil_Phrase_Data>\n' \
    "$EH_DB_BODY" >"$EH_DB"
  e2e_wine_bg "$E2E_TOOLS/engine-host/engine-host.exe" --db "$(e2e_winpath "$EH_DB")" \
    --log "$(e2e_winpath "$EH_LOG")" --cmd "$(e2e_winpath "$EH_CMD")" "$@"
  e2e_wait 'grep -q " ready " "$EH_LOG" 2>/dev/null' 300 || e2e_fail "engine-host did not start"
  grep " ready " "$EH_LOG"
  eh_mark
}

eh_cmd() {
  local before
  before=$(grep -c " cmd $1 " "$EH_LOG" || true)
  printf '%s\n' "$1" >"$EH_CMD.tmp"
  mv "$EH_CMD.tmp" "$EH_CMD"
  EH_WANT=$((before + 1)) EH_WANT_CMD=$1
  e2e_wait '[ "$(grep -c " cmd $EH_WANT_CMD " "$EH_LOG")" -ge "$EH_WANT" ]' 100 ||
    e2e_fail "engine-host did not answer $1"
  grep " cmd $1 " "$EH_LOG" | tail -n 1 | awk '{print $NF}'
}

eh_mark() { EH_MARK=$(wc -l <"$EH_LOG"); }
eh_log_since() { tail -n +"$((EH_MARK + 1))" "$EH_LOG" | cut -d' ' -f2-; }

eh_type() { xdotool type --delay 30 "$1"; }

# Fails unless the log since the mark holds the lines (given as one pattern per argument)
# in this order.
eh_expect_log_order() {
  local log pattern
  log=$(eh_log_since)
  for pattern in "$@"; do
    if ! printf '%s\n' "$log" | grep -q -- "$pattern"; then
      printf '%s\n' "log since mark:" "$log" >&2
      e2e_fail "log: no '$pattern' in order"
    fi
    log=$(printf '%s\n' "$log" | sed -n "/$pattern/,\$p" | tail -n +2)
  done
}

# A failure shows the end of the host's log too.
eval "e2e_lib_fail() $(declare -f e2e_fail | tail -n +2)"
e2e_fail() {
  if [ -n "${EH_LOG:-}" ] && [ -f "$EH_LOG" ]; then
    echo "engine-host log (end):" >&2
    tail -n 40 "$EH_LOG" >&2
  fi
  e2e_lib_fail "$@"
}
