#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX once; concurrent callers wait for the first.
set -euo pipefail
: "${WINEPREFIX:?}"
prefix=$WINEPREFIX
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export WINEPREFIX=$prefix
if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
  echo "wine-prefix: wine and wineserver are not on PATH; scripts/install-deps.sh installs them" >&2
  exit 1
fi
mkdir -p "$(dirname "$WINEPREFIX")"
if [ -f "$WINEPREFIX/.vellix-ready" ]; then
  exit 0
fi
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.vellix-ready" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  touch "$WINEPREFIX/.vellix-ready"
fi
