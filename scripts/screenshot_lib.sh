# Shared set-up of the screenshot scripts, sourced with their arguments:
# DPI OUTPUT.png [BUILD_DIR]. Starts a fresh Wine prefix whose LogPixels is DPI (96 = 100 %,
# 144 = 150 %) and a fresh program folder with the example database (vellix_lib.sh); the
# caller starts Vellix.exe and takes the picture into $SHOT_OUT.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=${1:?dpi}
out=$(realpath -m "${2:?output file}")
build=$(cd "${3:-$repo/build}" && pwd)
export VELLIX_TOOLS=$build/windows/tools
export VELLIX_EXE=$build/windows/Vellix.exe
export VELLIX_E2E_PREFIX=$build/wineprefix-shot-$dpi
export SHOT_DPI=$dpi SHOT_OUT=$out

. "$repo/tests/e2e/vellix_lib.sh"
e2e_enter "$@"

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$SHOT_DPI" /f >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
  /t REG_DWORD /d "$SHOT_DPI" /f >/dev/null 2>&1

vx_folder
