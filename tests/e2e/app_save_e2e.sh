#!/usr/bin/env bash
# Saving the usage counts of a large database (20 000 phrases) under load: 40 expansions
# typed one right after the other while another program keeps reading the file, then 20
# starts of Vellix.exe each killed (kill -9 of its Wine process) at a moment of a save, then
# a session's end right after an expansion. The file must load at every moment and after
# every kill, and the counts must all land.
. "$(dirname "$0")/tray_lib.sh"
e2e_enter "$@"

DB_TOOL=$E2E_TOOLS/vellix-db/vellix-db.exe
PHRASES=20000
python3 "$E2E_ROOT/tools/make-database/make_database.py" "$PHRASES" "$E2E_TMP/big.xml"
vx_folder "$E2E_TMP/big.xml"
vx_settings 'Sounds=0'
DB=$VX_DIR/Database.xml
DB_WIN=$(e2e_winpath "$DB")

# The keystroke of phrase i, as the generator writes it.
keystroke() { printf 'k%s' "$(printf '%05d' "$1" | tr 0-9 a-j)"; }
# The usage counts of phrases 0 to $1-1, blank-separated, read from the file.
counts() {
  python3 - "$DB" "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
phrases = ET.parse(sys.argv[1]).getroot().findall('Phrase')
print(' '.join(p.get('CountUsage') for p in phrases[:int(sys.argv[2])]))
PY
}
# How often the whole text of phrase $1 is in the target window (the next keystroke must
# wait for the end of the insertion: keys typed during it are not tracked).
expanded() {
  python3 - "$E2E_ROOT/tools/make-database" "$E2E_TEXT_FILE" "$1" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from make_database import text_of
with open(sys.argv[2], encoding="utf-8", newline="") as target:
    print(target.read().count(text_of(int(sys.argv[3]))))
PY
}
# Whether the file loads completely, read as Vellix reads it.
loads() { e2e_wine "$DB_TOOL" check "$DB_WIN" | tr -d '\r' | grep -qx "phrases loaded: $PHRASES of $PHRASES Phrase elements"; }

# The target gets the focus while Vellix is still loading: the end of its start-up must
# not take the keyboard from it.
vt_start
vx_wait_main 600
e2e_start_target
e2e_focus_target
vt_wait_ready 600

# 1. Forty expansions of eight phrases in a row, each typed as soon as the last one is in
# the target, while a reader checks the file over and over.
: >"$E2E_TMP/reader.log"
(
  while [ ! -e "$E2E_TMP/stop-reader" ]; do
    if loads; then echo ok; else echo "failed at $(date +%T.%N): $(e2e_wine "$DB_TOOL" check "$DB_WIN" 2>&1 | tr -d '\r' | head -n 3)"; fi
  done >>"$E2E_TMP/reader.log"
) &
reader=$!
E2E_PIDS+=("$reader")
before=($(counts 8))
declare -a want
for round in 1 2 3 4 5; do
  for i in 0 1 2 3 4 5 6 7; do
    VT_EXPANDED=$(( $(expanded "$i") + 1 ))
    xdotool type --delay 20 "$(keystroke "$i")"
    VT_PHRASE=$i
    e2e_wait '[ "$(expanded "$VT_PHRASE")" = "$VT_EXPANDED" ]' 100 ||
      e2e_fail "$(keystroke "$i") did not expand (round $round); the target ends in: $(tail -c 300 "$E2E_TEXT_FILE" | od -c | tail -n 12)"
    xdotool type " "
  done
done
for i in 0 1 2 3 4 5 6 7; do want[i]=$((before[i] + 5)); done
VT_WANT="${want[*]}"
e2e_wait '[ "$(counts 8)" = "$VT_WANT" ]' 300 || e2e_fail "usage counts in the file: $(counts 8), not $VT_WANT"
touch "$E2E_TMP/stop-reader"
wait "$reader" 2>/dev/null || true
reads=$(grep -c . "$E2E_TMP/reader.log")
grep -v '^ok$' "$E2E_TMP/reader.log" >&2 && e2e_fail "the file did not load at some moment of the saves"
[ "$reads" -ge 5 ] || e2e_fail "the reader checked the file only $reads times"
echo "the file loaded at each of $reads checks while it was saved ($SECONDS s)"
vx_run /exit
vx_wait_gone 600
[ "$(counts 8)" = "$VT_WANT" ] || e2e_fail "usage counts after exit: $(counts 8), not $VT_WANT"
[ "$(vx_ini_value PrintedChars)" -gt 0 ] || e2e_fail "PrintedChars not saved"

# 2. Twenty starts, each killed during the save that follows an expansion: half of them
# as soon as the save's temporary file appears (in the middle of writing it), half at a
# random moment up to half a second after the expansion (taking the text, writing, or
# done). The file must load after each kill and hold the old or the new count, and the
# next start removes the temporary files that the cut-off saves left.
temporaries() {
  local files
  files=("$VX_DIR"/Database.xml.*.tmp)
  echo "${#files[@]}"
}
# Busy-waits (builtins only: a save writes its temporary file within milliseconds) up to
# 5 s for more temporary files than $1.
wait_temporary() {
  local end=$(( ${EPOCHREALTIME/./} + 5000000 ))
  while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do
    [ "$(temporaries)" -gt "$1" ] && return 0
  done
  return 1
}
shopt -s nullglob
cut_off=0  # kills that left a temporary file
for kill in $(seq 1 20); do
  i=$((kill % 8))
  old=$(counts 8 | cut -d' ' -f$((i + 1)))
  vt_start
  vx_wait_main 600
  e2e_focus_target
  vt_wait_ready 600
  # The temporary files of the saves cut off so far went when this run loaded the file.
  [ "$(temporaries)" = 0 ] || e2e_fail "$(temporaries) temporary files left at start $kill"
  VT_EXPANDED=$(( $(expanded "$i") + 1 ))
  VT_PHRASE=$i
  xdotool type --delay 20 "$(keystroke "$i")"
  if [ $((kill % 2)) = 1 ]; then
    # The start removed what earlier kills left (checked above): this save's file is the
    # first one.
    wait_temporary 0 ||
      e2e_fail "no save began after $(keystroke "$i") (kill $kill): expansions $(expanded "$i") of $VT_EXPANDED; the log ends in: $(tail -n 4 "$VX_LOG" | tr -d '\r')"
  else
    e2e_wait '[ "$(expanded "$VT_PHRASE")" = "$VT_EXPANDED" ]' 100 || e2e_fail "$(keystroke "$i") did not expand (kill $kill)"
    sleep "0.$((RANDOM % 5))$((RANDOM % 10))"
  fi
  kill -9 "$VX_PID"
  wait "$VX_PID" 2>/dev/null || true
  xdotool type " "
  loads || e2e_fail "the database does not load after kill $kill"
  new=$(counts 8 | cut -d' ' -f$((i + 1)))
  [ "$new" = "$old" ] || [ "$new" = $((old + 1)) ] || e2e_fail "usage count $new after kill $kill, was $old"
  cut_off=$((cut_off + $(temporaries)))
  echo "kill $kill: count $old -> $new, temporary files left: $(temporaries) ($SECONDS s)"
  e2e_wait '! vx_main_window' 100 || e2e_fail "the killed instance's window stayed"
done
[ "$cut_off" -gt 0 ] || e2e_fail "no kill fell into the writing of a temporary file"

# 3. The session ends right after an expansion: Vellix answers WM_ENDSESSION once the count
# is in the file, so a process ended right after that answer has lost nothing.
i=3
old=$(counts 8 | cut -d' ' -f$((i + 1)))
vt_start
vx_wait_main 600
e2e_focus_target
vt_wait_ready 600
[ "$(temporaries)" = 0 ] || e2e_fail "$(temporaries) temporary files left after the last start"
VT_EXPANDED=$(( $(expanded "$i") + 1 ))
VT_PHRASE=$i
xdotool type --delay 20 "$(keystroke "$i")"
e2e_wait '[ "$(expanded "$VT_PHRASE")" = "$VT_EXPANDED" ]' 100 || e2e_fail "$(keystroke "$i") did not expand before the session's end"
[ "$(vx_send "$VX_WM_ENDSESSION" 1 0)" = 0 ] || e2e_fail "WM_ENDSESSION was not answered"
kill -9 "$VX_PID"
wait "$VX_PID" 2>/dev/null || true
xdotool type " "
loads || e2e_fail "the database does not load after the session's end"
new=$(counts 8 | cut -d' ' -f$((i + 1)))
[ "$new" = $((old + 1)) ] || e2e_fail "usage count $new after the session's end, not $((old + 1))"
echo "session end: count $old -> $new ($SECONDS s)"

vt_start
vx_wait_main 600
vt_wait_ready 600
[ "$(temporaries)" = 0 ] || e2e_fail "$(temporaries) temporary files left after the last start"
vx_run /exit
vx_wait_gone 600
loads || e2e_fail "the database does not load at the end"
e2e_pass
