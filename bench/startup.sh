#!/usr/bin/env bash
# Start-up figures of Vellix.exe under Wine on a private Xvfb display (docs/performance.md,
# "Start-up"): the time from starting the program to its main window and to its tray icon
# with 100 and 10 000 phrases, the same for an empty program (Wine's own process start-up,
# to be subtracted), the time of the data steps of the start-up in one process, and the
# resident memory of the idle programs. Times are medians of RUNS runs (default 10).
# Usage: bench/startup.sh [BUILD_DIR] [RUNS] [times|memory|all]   (after make windows)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
runs=${2:-10}
parts=${3:-all}
if [ "${VELLIX_BENCH_INNER:-}" != 1 ]; then
  export VELLIX_BENCH_INNER=1
  # A prefix of its own: the display script's cleanup ends every program of its server.
  export VELLIX_WINEPREFIX=${VELLIX_BENCH_PREFIX:-$build/wineprefix-bench}
  exec "$repo/scripts/with-display.sh" bash "$0" "$build" "$runs" "$parts"
fi

tools=$build/windows/tools
probe=$tools/startup-probe/startup-probe.exe
message=$tools/win-message/win-message.exe
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vellix-startup.XXXXXX")
started=
cleanup() {
  [ -z "$started" ] || kill "$started" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

w() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# A program folder with Vellix.exe, a generated database of $1 phrases and settings that
# are not a first run.
make_folder() {
  local folder=$tmp/phrases-$1
  mkdir -p "$folder"
  cp "$build/windows/Vellix.exe" "$folder/"
  python3 "$repo/tools/make-database/make_database.py" "$1" "$folder/Database.xml"
  printf '[Settings]\r\nAlreadyRunning2=1\r\nLangFile=\r\nSounds=0\r\n' >"$folder/settings.ini"
}

vellix_ready() {
  local handle
  handle=$(w "$message" find "Vellix * build *" || true)
  [ -n "$handle" ] && w "$message" icon "$handle" 1
}
baseline_ready() { w "$message" find "Startup Baseline" >/dev/null; }

# Prints the resident memory of the idle process "wine PROGRAM..." started in FOLDER, once
# READY succeeds and three quiet seconds have passed; the process keeps running.
idle_memory() {
  local label=$1 folder=$2 ready=$3
  shift 3
  (cd "$folder" && exec wine "$@" </dev/null >/dev/null 2>&1) &
  started=$!
  for _ in $(seq 1 300); do
    "$ready" && break
    sleep 0.1
  done
  sleep 3
  echo "  $label: $(grep -E '^(VmRSS|VmHWM)' "/proc/$started/status" | tr -s ' \t' ' ' | tr '\n' ' ')"
}
stopped() {
  wait "$started" 2>/dev/null || true
  started=
}

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Wine: $(wine --version 2>/dev/null)"
for count in 100 10000; do make_folder "$count"; done

if [ "$parts" != memory ]; then
  echo
  echo "Empty program (one hidden window, no work): Wine's process start-up"
  w "$probe" run "$runs" "Startup Baseline" window "$(winepath -w "$probe")" window "Startup Baseline" | tail -n 1
  for count in 100 10000; do
    folder=$tmp/phrases-$count
    echo
    echo "Vellix.exe with $count phrases ($(du -h "$folder/Database.xml" | cut -f1) database): start to main window and to tray icon"
    w "$probe" run "$runs" "Vellix * build *" icon "$(winepath -w "$folder/Vellix.exe")" | tail -n 1
    w "$probe" steps "$(winepath -w "$folder/Database.xml")" "$runs"
  done
fi

if [ "$parts" != times ]; then
  echo
  echo "Resident memory when idle (VmRSS now, VmHWM the peak so far):"
  idle_memory "empty program" "$tmp" baseline_ready "$probe" window "Startup Baseline"
  w "$message" send "Startup Baseline" 0x112 0xF060 0 >/dev/null || true  # WM_SYSCOMMAND, SC_CLOSE
  stopped
  for count in 100 10000; do
    idle_memory "Vellix.exe with $count phrases" "$tmp/phrases-$count" vellix_ready ./Vellix.exe
    (cd "$tmp/phrases-$count" && wine ./Vellix.exe /exit </dev/null >/dev/null 2>&1) || true
    stopped
  done
fi
