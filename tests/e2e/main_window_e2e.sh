#!/usr/bin/env bash
# Drives the real program on the test display: the panel buttons without a player, the player
# directory set in its picker, a launch of the stand-in player from the menu, then the panel
# buttons again; checks what the player was given and received and that the main window has
# the focus after every click.
# Usage: main_window_e2e.sh KAVOFE STANDIN ARTEFACT_DIR [openbox]
ARTEFACT_PREFIX=""
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"
key_lines() { tail -n +"$1" "$LOG" | grep -E '^(press|release) ' || true; }
# The keys logged after line $1 came while the player had the focus: a focus-out follows them.
keys_then_focus_out() {
    tail -n +"$1" "$LOG" | awk -v want="$2" '
        /^(press|release) / { seen++ }
        $0 == "focus-out" && seen >= want { ok = 1 }
        END { exit !ok }'
}

if [ "$WM" = openbox ]; then
    # shellcheck source=tests/e2e/openbox.sh
    source "$(dirname "$0")/openbox.sh"
    start_openbox
fi

# The player in a directory of its own, both it and the SPC file behind blanks, a fresh home
# whose settings open the directory picker at the player, and a work directory.
PLAYER_DIR="$TMP/SPC Player"
WORK=$TMP/work
SPC="$TMP/My Music/Track One.spc"
mkdir -p "$PLAYER_DIR" "$WORK" "$TMP/home/.config" "$(dirname "$SPC")"
mkdir -m 700 "$TMP/runtime"
mkdir -p "$TMP/home/.config/kavofe"
printf '[Settings]\nSPCDir3=/\nSPCDir4=%s\n' "$PLAYER_DIR" >"$TMP/home/.config/kavofe/KAVO FE.ini"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700' >"$SPC"

(cd "$WORK" && HOME=$TMP/home XDG_CONFIG_HOME=$TMP/home/.config XDG_RUNTIME_DIR=$TMP/runtime \
    QT_QPA_PLATFORM=xcb \
    KAVO_STANDIN_LOG=$LOG exec "$KAVOFE") &
PIDS+=($!)
KAVOFE_PID=$!

CAPTION='KAVOfe - Version 1.03j'
# (by process too: a window manager may show windows of its own under the same title)
find_main() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name "^$CAPTION\$"; }
wait_for find_main || fail "the main window did not appear"
WID=$(find_main | head -1)
xdotool windowfocus --sync "$WID"

# Client-area geometry in twips; 15 twips make a pixel. The menu bar sits above the client area.
# (xwininfo, since xdotool counts a window manager's frame offset twice)
INFO=$(xwininfo -id "$WID")
X=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$INFO")
Y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$INFO")
WIDTH=$(awk '/^ *Width:/ { print $2 }' <<<"$INFO")
HEIGHT=$(awk '/^ *Height:/ { print $2 }' <<<"$INFO")
CLIENT_X=$X
CLIENT_Y=$((Y + HEIGHT - 1890 / 15))
click_twips() { # left top width height, within the client area
    xdotool mousemove --sync $((CLIENT_X + ($1 + $3 / 2) / 15)) $((CLIENT_Y + ($2 + $4 / 2) / 15))
    xdotool click 1
}
FRAME_LEFT=4320
FRAME_TOP=120
click_button() { # left top width, within the frame
    click_twips $((FRAME_LEFT + $1)) $((FRAME_TOP + $2)) "$3" 255
}
# Name, left, top, width of the twelve panel buttons.
BUTTONS=("Stop 120 240 1335" "1 120 600 255" "2 480 600 255" "3 840 600 255" "4 1200 600 255"
    "5 120 960 255" "6 480 960 255" "7 840 960 255" "8 1200 960 255" "9 300 1320 255"
    "+ 660 1320 255" "- 1040 1320 255")
focus_is_main() { [ "$(xdotool getwindowfocus -f)" = "$WID" ]; }
visible_windows() { xdotool search --onlyvisible --pid "$KAVOFE_PID" 2>/dev/null | wc -l; }

# Without a player every button does nothing: no message, no window, the focus stays.
WINDOWS_BEFORE=$(visible_windows)
for button in "${BUTTONS[@]}"; do
    read -r name left top width <<<"$button"
    click_button "$left" "$top" "$width"
    sleep 0.1
    focus_is_main || fail "button $name without a player moved the focus"
    [ "$(visible_windows)" = "$WINDOWS_BEFORE" ] || fail "button $name without a player opened a window"
done
[ ! -e "$LOG" ] || fail "something started the player"

# The player directory: File, SPCPLAY Dir, and Set in the picker, which opens at the player.
find_picker() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name '^Set SPCPLAY.EXE Dir$'; }
menu_open() { [ "$(visible_windows)" -gt "$WINDOWS_BEFORE" ]; }
xdotool key --clearmodifiers alt+f
wait_for menu_open || fail "the File menu did not open"
xdotool key --clearmodifiers s
wait_for find_picker || fail "the player directory picker did not open"
xdotool windowfocus --sync "$(find_picker | head -1)"
xdotool key --clearmodifiers alt+s
wait_for bash -c "! xdotool search --all --onlyvisible --pid $KAVOFE_PID --name '^Set SPCPLAY.EXE Dir\$'" ||
    fail "the player directory picker did not close"
sleep 0.2
[ "$(visible_windows)" = "$WINDOWS_BEFORE" ] || fail "setting the player directory showed a message"

# Type the SPC path into its box, then choose Launch by its access key.
xdotool windowfocus --sync "$WID"
click_twips 120 360 4095 285
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$SPC"
xdotool key --clearmodifiers alt+l
wait_for grep -q '^ready ' "$LOG" || fail "the player did not show its window"

# The command line: the player path set by the picker and the SPC path, each one argument
# despite its blanks.
log_has 'argc 2' || fail "argument count"
log_has "argv[0] \"$PLAYER_DIR/SPCPLAY.EXE\"" || fail "argv[0]"
log_has "argv[1] \"$SPC\"" || fail "argv[1]"
log_has "cwd \"$WORK\"" || fail "working directory"
# Default settings beside the player, none in the working directory.
CFG='; SPCPlay Configuration file\r\n\r\n; Sound Sampling Rate\r\n'
CFG+=';   0 = 8000Hz, 1 = 11025Hz, 2 = 22050Hz, 3 = 44100Hz\r\n;   4 = 32000Hz,5 = 16000Hz\r\n'
CFG+='\r\nSoundrate = 3\r\n\r\n; Stereo (0 = off, 1 = on)\r\n\r\nStereo = 1\r\n\r\n'
CFG+='; Force 8-bit sound on  (1 = Yes, 0 = No)\r\n\r\nForce8bit = 0\r\n\r\n'
CFG+='; Sound Volume Level (0 .. 100)\r\n'
CFG+='; Note : Setting this too high can cause sound overflow which degrades quality\r\n'
CFG+='Volume = 75\r\n'
log_has "cfg-exe \"$CFG\"" || fail "configuration file beside the player"
[ "$(stat -c %s "$PLAYER_DIR/SPCPLAY.CFG")" = 390 ] || fail "configuration file size"
log_has 'cfg-cwd missing' || fail "a configuration file in the working directory"

# The panel with the player running: the exact keys, then the focus back on the main window.
# A window manager gives the new player the focus; the user comes back to the main window.
if [ -n "$WM" ]; then
    wait_for log_has focus-in || fail "the window manager did not focus the player"
fi
xdotool windowfocus --sync "$WID"
press_and_check() { # button, expected key lines
    local name=$1 left top width from expected
    shift
    for button in "${BUTTONS[@]}"; do
        read -r n left top width <<<"$button"
        [ "$n" = "$name" ] && break
    done
    from=$(($(wc -l <"$LOG") + 1))
    click_button "$left" "$top" "$width"
    wait_for keys_then_focus_out "$from" "$#" || fail "button $name: no keys, or the focus never left"
    expected=$(printf '%s\n' "$@")
    [ "$(key_lines "$from")" = "$expected" ] ||
        fail "button $name: keys $(key_lines "$from" | tr '\n' ';'), wanted $(tr '\n' ';' <<<"$expected")"
    wait_for focus_is_main || fail "button $name: the main window did not get the focus back"
}
press_and_check Stop 'press q shift=0 keycode=24' 'release q shift=0 keycode=24'
press_and_check 5 'press 5 shift=0 keycode=14' 'release 5 shift=0 keycode=14'
press_and_check + 'press Shift_L shift=0 keycode=50' 'press plus shift=1 keycode=21' \
    'release Shift_L shift=1 keycode=50' 'release equal shift=0 keycode=21'
press_and_check - 'press minus shift=0 keycode=20' 'release minus shift=0 keycode=20'

SHOT=$ARTEFACTS/main_window${WM:+_$WM}.png
import -window root "$SHOT"
echo "screenshot: $SHOT (main window 0x$(printf %x "$WID") at $X,$Y size ${WIDTH}x$HEIGHT)"
