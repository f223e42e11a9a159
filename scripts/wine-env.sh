# Sourced by the Wine scripts: the project's Wine environment. The prefix is
# VELLIX_WINEPREFIX, or build/wineprefix in the repository.
_vellix_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${VELLIX_WINEPREFIX:-$_vellix_scripts/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=}
export WINEARCH=win64
