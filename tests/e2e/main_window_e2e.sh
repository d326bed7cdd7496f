#!/usr/bin/env bash
# The real program under openbox, driven like a user: the panel without a player, both pickers
# by keyboard alone (what they store, where they reopen, that the main window takes no input
# meanwhile), a launch of the stand-in player, then the panel: the exact keys reach the player
# while it has the focus, and the main window has the focus after each click.
# Usage: main_window_e2e.sh KAVOFE STANDIN ARTEFACT_DIR
ARTEFACT_PREFIX=""
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

# The player and the SPC file behind blanks, both beside the working directory, so that both
# pickers open there on a first run.
PLAYER_DIR="$TMP/SPC Player"
MUSIC="$TMP/My Music"
SPC="$MUSIC/Track One.spc"
mkdir -p "$PLAYER_DIR" "$MUSIC"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700' >"$SPC"
printf 'x' >"$MUSIC/notes.txt"
start_kavofe "$TMP" KAVO_STANDIN_LOG="$LOG"
visible_windows() { xdotool search --onlyvisible --pid "$KAVOFE_PID" 2>/dev/null | wc -l; }

# Without a player every button does nothing: no message, no window, the focus stays.
WINDOWS_BEFORE=$(visible_windows)
for name in "${!BUTTON[@]}"; do
    click_button "$name"
    sleep 0.1
    focus_is "$MAIN" || fail "button $name without a player moved the focus"
    [ "$(visible_windows)" = "$WINDOWS_BEFORE" ] || fail "button $name without a player opened a window"
done
[ ! -e "$LOG" ] || fail "something started the player"

open_picker() { # title, keys...; the picker must take the focus itself
    local title=$1
    shift
    xdotool windowfocus --sync "$MAIN"
    keys "$@"
    wait_for find_window "$title" || fail "\"$title\" did not open"
    wait_for focus_is "$(find_window "$title" | head -1)" || fail "\"$title\" did not take the focus"
}
# The player directory: to the directory list, type-ahead, Enter goes in, Alt+S sets it.
open_picker 'Set SPCPLAY.EXE Dir' alt+f s
keys Tab S P Return alt+s
wait_for gone 'Set SPCPLAY.EXE Dir' || fail "Set did not close the directory picker"
wait_for ini_has "SPCDir4=$PLAYER_DIR" || fail "SPCDir4 not saved"
ini_has "SPCDir3=/" || fail "SPCDir3 not saved"
# The SPC file: into "My Music", to the file list, Space selects, Enter loads.
open_picker 'Load SPC File' ctrl+l
keys Tab M y Return Tab space Return
wait_for gone 'Load SPC File' || fail "Load did not close the file picker"
wait_for ini_has "SPCDir2=$MUSIC" || fail "SPCDir2 not saved"
ini_has "SPCDir1=/" || fail "SPCDir1 not saved"

# Each picker reopens where it was left. Meanwhile a close request to the main window changes
# nothing, and a click on it gives the picker the focus back, as a modal dialog's owner does.
for title in 'Set SPCPLAY.EXE Dir' 'Load SPC File'; do
    if [ "$title" = 'Load SPC File' ]; then open_picker "$title" ctrl+l; else open_picker "$title" alt+f s; fi
    import -window root "$ARTEFACTS/pickers_$(tr -d ' .' <<<"$title").png"
    saved=$(cat "$INI")
    "$(dirname "$KAVOFE")/kavo_wm_close" "$MAIN"
    sleep 0.5
    find_window 'KAVOfe - Version 1.03j' >/dev/null || fail "a close request closed the main window"
    [ "$(cat "$INI")" = "$saved" ] || fail "a close request under a picker saved the settings"
    xdotool mousemove --window "$MAIN" 30 60 click 1
    wait_for focus_is "$(find_window "$title" | head -1)" ||
        fail "a click on the main window did not give the focus back to \"$title\""
    keys Escape
    wait_for gone "$title" || fail "Escape did not close \"$title\""
done

# Launch: the player path and the SPC path each one argument despite their blanks, the default
# configuration beside the player and none in the working directory.
xdotool windowfocus --sync "$MAIN"
xdotool key --clearmodifiers alt+l
wait_for grep -q '^ready ' "$LOG" || fail "the player did not show its window"
log_has 'argc 2' || fail "argument count"
log_has "argv[0] \"$PLAYER_DIR/SPCPLAY.EXE\"" || fail "argv[0]"
log_has "argv[1] \"$SPC\"" || fail "argv[1]"
log_has "cwd \"$TMP\"" || fail "working directory"
CFG='; SPCPlay Configuration file\r\n\r\n; Sound Sampling Rate\r\n'
CFG+=';   0 = 8000Hz, 1 = 11025Hz, 2 = 22050Hz, 3 = 44100Hz\r\n;   4 = 32000Hz,5 = 16000Hz\r\n'
CFG+='\r\nSoundrate = 3\r\n\r\n; Stereo (0 = off, 1 = on)\r\n\r\nStereo = 1\r\n\r\n'
CFG+='; Force 8-bit sound on  (1 = Yes, 0 = No)\r\n\r\nForce8bit = 0\r\n\r\n'
CFG+='; Sound Volume Level (0 .. 100)\r\n'
CFG+='; Note : Setting this too high can cause sound overflow which degrades quality\r\n'
CFG+='Volume = 75\r\n'
log_has "cfg-exe \"$CFG\"" || fail "configuration file beside the player"
log_has 'cfg-cwd missing' || fail "a configuration file in the working directory"

# The panel: the keys logged after line $1 came while the player had the focus, since a
# focus-out follows them.
key_lines() { tail -n +"$1" "$LOG" | grep -E '^(press|release) ' || true; }
keys_then_focus_out() {
    tail -n +"$1" "$LOG" | awk -v want="$2" '/^(press|release) / { seen++ }
        $0 == "focus-out" && seen >= want { ok = 1 } END { exit !ok }'
}
press_and_check() { # button or key to press, expected key lines
    local name=$1 from expected
    shift
    from=$(($(wc -l <"$LOG") + 1))
    if [ "${#name}" = 1 ]; then click_button "$name"; else xdotool key --clearmodifiers "$name"; fi
    wait_for keys_then_focus_out "$from" "$#" || fail "$name: no keys, or the focus never left"
    expected=$(printf '%s\n' "$@")
    [ "$(key_lines "$from")" = "$expected" ] ||
        fail "$name: keys $(key_lines "$from" | tr '\n' ';'), wanted $(tr '\n' ';' <<<"$expected")"
    wait_for focus_is "$MAIN" || fail "$name: the main window did not get the focus back"
}
wait_for log_has focus-in || fail "the window manager did not focus the player"
xdotool windowfocus --sync "$MAIN"
press_and_check q 'press q shift=0 keycode=24' 'release q shift=0 keycode=24'
press_and_check + 'press Shift_L shift=0 keycode=50' 'press plus shift=1 keycode=21' \
    'release Shift_L shift=1 keycode=50' 'release equal shift=0 keycode=21'
press_and_check - 'press minus shift=0 keycode=20' 'release minus shift=0 keycode=20'
# By access key; Alt+S, shared with the Sound menu, only focuses "Stop Playing": Enter clicks it.
press_and_check alt+5 'press 5 shift=0 keycode=14' 'release 5 shift=0 keycode=14'
xdotool key --clearmodifiers alt+s
sleep 0.2
press_and_check Return 'press q shift=0 keycode=24' 'release q shift=0 keycode=24'
import -window root "$ARTEFACTS/main_window.png"
echo "main window e2e passed; screenshot in $ARTEFACTS/main_window.png"
