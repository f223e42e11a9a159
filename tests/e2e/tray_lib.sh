#!/usr/bin/env bash
# Helpers for end-to-end tests of Vellix's tray icon and menu, on top of vellix_lib.sh.
# Source this file instead of vellix_lib.sh; after e2e_enter and vx_folder:
#
#   vt_start [keys...]     starts Vellix.exe; VX_PID is then the Wine process itself (for kill)
#   vt_main_handle         prints the main dialog's window handle (hex)
#   vt_wait_ready          waits until the main dialog has added its tray icon
#   vt_menu KEY...         opens the tray menu as a right click on the icon does and
#                          presses KEYs in it (up down left right home end enter escape)
#   vt_click_target        clicks into the target window: it becomes the foreground window
#                          again after the menu took the foreground
#   vt_icon_state          prints on or off from the colour of the tray icon's picture
#   vt_tip                 prints the icon's tooltip, lines joined with '|'
#
# The menu is driven by keys because Vellix tracks it with TPM_RETURNCMD: the chosen
# command is the menu's result, so a WM_COMMAND sent to the window chooses nothing. The
# keys are posted to the main dialog; the menu's loop reads them from the thread's queue,
# as it reads the keys a user presses. Wine's menus skip separators and nothing else when
# moving with the arrows, so the paths below count every other item.
. "$(dirname "${BASH_SOURCE[0]}")/vellix_lib.sh"

VT_TRAY_CALLBACK='{DB191FA5-07DC-4d3e-9D9E-2EEAC4B48470}'
VT_WM_RBUTTONUP=0x205

vt_start() {
  (cd "$VX_DIR" && exec wine ./Vellix.exe "$@" </dev/null >/dev/null 2>&1) &
  VX_PID=$!
  E2E_PIDS+=("$VX_PID")
}

vt_main_handle() { e2e_wine "$VX_MSG" find "$VX_TITLE" | tr -d '\r'; }

# Waits until the main dialog has added its icon: its start-up (database, engine) is done.
vt_wait_ready() {
  e2e_wait 'e2e_wine "$VX_MSG" icon "$(vt_main_handle)" 1' "${1:-300}" || e2e_fail "Vellix added no tray icon"
}

vt_menu() {
  e2e_wine "$VX_MSG" post "$VX_TITLE" "$VT_TRAY_CALLBACK" 1 "$VT_WM_RBUTTONUP" || e2e_fail "cannot post the tray click"
  sleep 0.7  # the menu opens on the dialog's thread
  e2e_wine "$VX_MSG" keys "$VX_TITLE" "$@" || e2e_fail "cannot press $* in the tray menu"
  sleep 0.5
}

vt_click_target() {
  local window
  window=$(timeout 20 xdotool search --name "^$E2E_TITLE\$" | head -n 1) || e2e_fail "no target window"
  xdotool mousemove --window "$window" 300 330 click 1
  sleep 0.3
  # The click put the caret somewhere on the last line; the typing goes on at the end.
  xdotool key ctrl+End
  sleep 0.2
}

# Without a system tray on the X display, Wine's explorer shows the icons in a window of
# its own, "Wine System Tray"; the first icon sits at its left edge.
vt_tray_window() { xdotool search --name '^Wine System Tray$' | head -n 1; }

# The engine-on picture is green, the engine-off picture grey (res/icons). The upper left
# of the icon is sampled: a balloon's stem may cover its lower right corner.
vt_icon_state() {
  local tray colour
  tray=$(vt_tray_window) || return 1
  colour=$(import -window "$tray" png:- 2>/dev/null | convert - -crop 8x6+4+4 +repage -format %c histogram:info:- |
    sort -rn | head -n 1 | grep -o '#[0-9A-F]\{6\}')
  local r=$((16#${colour:1:2})) g=$((16#${colour:3:2})) b=$((16#${colour:5:2}))
  if [ "$g" -gt $((r + 40)) ] && [ "$g" -gt $((b + 20)) ]; then echo on
  elif [ "$r" = "$g" ] && [ "$g" = "$b" ]; then echo off
  else echo "unknown $colour"; fi
}

vt_expect_icon() {
  VT_WANT_ICON=$1
  e2e_wait '[ "$(vt_icon_state)" = "$VT_WANT_ICON" ]' 30 ||
    e2e_fail "the tray icon shows '$(vt_icon_state)', not $1: ${2:-}"
}

# A tooltip control answers WM_GETTEXT with the tip it shows, so the mouse rests on the
# icon until the tip appears.
vt_tip() {
  local tray
  tray=$(vt_tray_window) || return 1
  xdotool mousemove 700 700
  sleep 0.3
  xdotool mousemove --window "$tray" 9 9
  sleep 0.2
  xdotool mousemove --window "$tray" 10 10
  sleep 1.2
  e2e_wine "$VX_MSG" texts tooltips_class32 | tr -d '\r' | grep -F ' build ' | head -n 1
  xdotool mousemove 700 700
}

vt_expect_tip() {
  local tip
  tip=$(vt_tip)
  case "$tip" in
    *"$1"*) ;;
    *) e2e_fail "the tooltip '$tip' has no '$1': ${2:-}" ;;
  esac
}
