#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix.
# The prefix is VELLIX_WINEPREFIX, or build/wineprefix in the repository; it is created
# on first use (wineboot takes some seconds once). Used by ctest as the emulator.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

"$here/wine-prefix.sh"
exec wine "$@"
