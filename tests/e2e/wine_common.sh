# shellcheck shell=bash disable=SC2034 # the sourcing scripts use what is set here
# Sourced by the runs of the real kavofe.exe under Wine's X11 driver on a private Xvfb, whose
# argument is the build directory; WINEPREFIX is set and the wineserver stopped. Sets BUILD,
# WORK (a scratch directory) and DISPLAY; start_kavofe sets APP, MAIN and MENU.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
source scripts/xvfb.sh
WORK=$(mktemp -d) SETTINGS='HKCU\Software\KAVO FE\Settings'
start_xvfb 150 249
export DISPLAY=$XVFB_DISPLAY
finish() { wineserver -k || :; kill "$XVFB_PID" || :; rm -rf "$WORK"; } 2>/dev/null
trap finish EXIT
fail() { echo "$(basename "$0"): $*" >&2; exit 1; }
# wait_for CONDITION WHAT [TENTHS]: polls CONDITION for up to TENTHS tenths of a second.
wait_for() { for _ in $(seq "${3:-150}"); do eval "$1" && return 0; sleep 0.1; done; fail "$2"; }
visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
win() { winepath -w "$1" 2>/dev/null; }
focus() { xdotool windowraise "$MAIN" windowfocus --sync "$MAIN"; sleep 0.3; }
# click X Y, type_into Y TEXT: in the client area; Y is the edit box's.
click() { focus; xdotool mousemove --window "$MAIN" "$1" $((MENU + $2)) click 1; }
type_into() { click 144 "$1"; xdotool type --delay 20 "$(win "$2")"; }
# The session that sets the driver started its desktop with the old one: it must end first.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
wineserver -w

# start_kavofe PLAYER_DIR SPC [NAME=VALUE...]: the program with the given environment, the
# player padded to the real one's length and adopted through its picker (Set takes the
# directory it opens on), and the SPC file typed.
start_kavofe() {
    truncate -s 913758 "$1/SPCPLAY.EXE"
    wine reg delete "${SETTINGS%\\*}" /f >/dev/null 2>&1 || true
    wine reg add "$SETTINGS" /v SPCDir3 /d Z: /f >/dev/null 2>&1
    wine reg add "$SETTINGS" /v SPCDir4 /d "$(win "$1")" /f >/dev/null 2>&1
    env "${@:3}" wine "$BUILD/kavofe.exe" >/dev/null 2>&1 </dev/null &
    APP=$!
    wait_for '[ -n "$(visible "KAVOfe - Version 1.03j")" ]' "no main window" 300
    MAIN=$(visible "KAVOfe - Version 1.03j")
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    MENU=$((HEIGHT - 126)) # the client area is 126 pixels high; the menu bar is above it
    focus
    xdotool key alt+f s
    wait_for '[ -n "$(visible "Set SPCPLAY.EXE Dir")" ]' "no player directory picker"
    xdotool key Return
    wait_for '[ -z "$(visible "Set SPCPLAY.EXE Dir")" ]' "Set left the picker open"
    type_into 33 "$2"
}
