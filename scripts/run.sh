#!/usr/bin/env bash
# Starts Vellix under Wine on the current display, in the program folder BUILD/run (its
# settings, log, database and backups stay there). The example database is copied in when
# the folder has none. End it from its tray menu or with: scripts/run.sh BUILD /exit
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
shift || true
: "${DISPLAY:?make run needs a display (DISPLAY is not set); make demo uses a virtual one}"
source "$repo/scripts/wine-env.sh"
"$repo/scripts/wine-prefix.sh"
folder=$build/run
mkdir -p "$folder"
cp "$build/windows/Vellix.exe" "$folder/Vellix.exe"
[ -f "$folder/Database.xml" ] || cp "$repo/examples/Database.xml" "$folder/Database.xml"
cd "$folder"
exec wine ./Vellix.exe "$@"
