#!/usr/bin/env bash
# Start-up figures of Vellix.exe under Wine on a private Xvfb display (docs/performance.md,
# "Start-up"): the time from starting the program to its main window and to its tray icon
# with 100 and 10 000 phrases, the same for an empty program (Wine's own process start-up,
# which is subtracted), the time of the data steps in one process, and the resident memory
# of the idle program with 10 000 phrases. Median of RUNS runs (default 10).
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (after make windows)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
runs=${2:-10}
if [ "${VELLIX_BENCH_INNER:-}" != 1 ]; then
  export VELLIX_BENCH_INNER=1
  # A prefix of its own: the display script's cleanup ends every program of its server.
  export VELLIX_WINEPREFIX=${VELLIX_BENCH_PREFIX:-$build/wineprefix-bench}
  exec "$repo/scripts/with-display.sh" bash "$0" "$build" "$runs"
fi

tools=$build/windows/tools
probe=$tools/startup-probe/startup-probe.exe
message=$tools/win-message/win-message.exe
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vellix-startup.XXXXXX")
vellix_pid=
cleanup() {
  [ -z "$vellix_pid" ] || kill "$vellix_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# A program folder with Vellix.exe, a generated database of $1 phrases and settings that
# are not a first run.
make_folder() {
  local folder=$tmp/phrases-$1
  mkdir -p "$folder"
  cp "$build/windows/Vellix.exe" "$folder/"
  python3 "$repo/tools/make-database/make_database.py" "$1" "$folder/Database.xml"
  printf '[Settings]\r\nAlreadyRunning2=1\r\nLangFile=\r\nSounds=0\r\n' >"$folder/settings.ini"
  echo "$folder"
}

w() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Wine: $(wine --version 2>/dev/null)"
echo
echo "Empty program (one hidden window, no work): Wine's process start-up"
w "$probe" run "$runs" "Startup Baseline" window "$(winepath -w "$probe")" window "Startup Baseline" | tail -n 1
for count in 100 10000; do
  folder=$(make_folder "$count")
  echo
  echo "Vellix.exe with $count phrases ($(du -h "$folder/Database.xml" | cut -f1) database), start to main window and to tray icon"
  w "$probe" run "$runs" "Vellix * build *" icon "$(winepath -w "$folder/Vellix.exe")" | tail -n 1
  w "$probe" steps "$(winepath -w "$folder/Database.xml")" "$runs"
done

echo
folder=$tmp/phrases-10000
(cd "$folder" && exec wine ./Vellix.exe </dev/null >/dev/null 2>&1) &
vellix_pid=$!
for _ in $(seq 1 300); do
  handle=$(w "$message" find "Vellix * build *" || true)
  [ -n "$handle" ] && w "$message" icon "$handle" 1 && break
  sleep 0.1
done
sleep 3  # idle: the start balloon shown, nothing more to do
echo "Idle Vellix.exe with 10000 phrases: $(grep -E '^(VmRSS|VmHWM)' /proc/$vellix_pid/status | tr -s ' \t' ' ' | tr '\n' ' ')"
(cd "$folder" && wine ./Vellix.exe /exit </dev/null >/dev/null 2>&1) || true
wait "$vellix_pid" 2>/dev/null || true
vellix_pid=
