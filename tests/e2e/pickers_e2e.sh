#!/usr/bin/env bash
# Drives the real program on the test display with the keyboard alone: the player directory
# chosen in "Set SPCPLAY.EXE Dir", the SPC file in "Load SPC File", then a launch of the
# stand-in player and a key sent to it. Checks what was stored, what the player was given and
# that each picker reopens where it was left.
# Usage: pickers_e2e.sh KAVOFE STANDIN ARTEFACT_DIR [openbox]
ARTEFACT_PREFIX=pickers_
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"
ini_has() { grep -qxF -- "$1" "$INI"; }

if [ "$WM" = openbox ]; then
    # shellcheck source=tests/e2e/openbox.sh
    source "$(dirname "$0")/openbox.sh"
    start_openbox
fi

# The program starts in a directory holding the player's directory and a music directory, so
# that both pickers open there on a first run.
PLAYER_DIR=$TMP/player
MUSIC="$TMP/My Music"
SPC="$MUSIC/Track One.spc"
INI="$TMP/home/.config/kavofe/KAVO FE.ini"
mkdir -p "$PLAYER_DIR" "$MUSIC" "$TMP/home/.config"
mkdir -m 700 "$TMP/runtime"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700' >"$SPC"
printf 'x' >"$MUSIC/notes.txt"

(cd "$TMP" && HOME=$TMP/home XDG_CONFIG_HOME=$TMP/home/.config XDG_RUNTIME_DIR=$TMP/runtime \
    QT_QPA_PLATFORM=xcb KAVO_STANDIN_LOG=$LOG exec "$KAVOFE") &
PIDS+=($!)
KAVOFE_PID=$!

find_window() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name "^$1\$"; }
gone() { ! find_window "$1"; }
focus_is() { [ "$(xdotool getwindowfocus -f)" = "$1" ]; }
wait_for find_window 'KAVOfe - Version 1.03j' || fail "the main window did not appear"
MAIN=$(find_window 'KAVOfe - Version 1.03j' | head -1)

# Opens a picker from the focused main window; it must take the focus itself.
open_picker() { # title, keys...
    local title=$1 id
    shift
    xdotool windowfocus --sync "$MAIN"
    xdotool key --clearmodifiers "$@"
    wait_for find_window "$title" || fail "\"$title\" did not open"
    id=$(find_window "$title" | head -1)
    wait_for focus_is "$id" || fail "\"$title\" did not take the focus"
}
keys() { # a short pause lets each list refill before the next key
    local key
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.1
    done
}

# The player directory: from the drive list to the directory list, type-ahead to "player",
# Enter goes into it, Alt+S sets it.
open_picker 'Set SPCPLAY.EXE Dir' alt+f s
keys Tab p l a y Return alt+s
wait_for gone 'Set SPCPLAY.EXE Dir' || fail "Set did not close the directory picker"
wait_for ini_has "SPCDir4=$PLAYER_DIR" || fail "SPCDir4 not saved"
ini_has "SPCDir3=/" || fail "SPCDir3 not saved"

# The SPC file: into "My Music", over to the file list, Space selects the file, Enter loads.
open_picker 'Load SPC File' ctrl+l
keys Tab M y Return Tab space Return
wait_for gone 'Load SPC File' || fail "Load did not close the file picker"
wait_for ini_has "SPCDir2=$MUSIC" || fail "SPCDir2 not saved"
ini_has "SPCDir1=/" || fail "SPCDir1 not saved"

# Each picker reopens where it was left; Escape closes it and hands the main window back.
for title in 'Set SPCPLAY.EXE Dir' 'Load SPC File'; do
    if [ "$title" = 'Load SPC File' ]; then open_picker "$title" ctrl+l; else open_picker "$title" alt+f s; fi
    import -window root "$ARTEFACTS/pickers_$(tr -d ' .' <<<"$title")${WM:+_$WM}.png"
    # Meanwhile the main window takes no input: a close request changes nothing, and a click
    # on it brings the picker back with the focus, as a modal dialog's owner does.
    saved=$(cat "$INI")
    "$(dirname "$KAVOFE")/kavo_wm_close" "$MAIN"
    sleep 0.5
    find_window 'KAVOfe - Version 1.03j' >/dev/null || fail "a close request closed the main window"
    [ "$(cat "$INI")" = "$saved" ] || fail "a close request under a picker saved the settings"
    if [ -n "$WM" ]; then
        xdotool mousemove --window "$MAIN" 30 60 click 1
        wait_for focus_is "$(find_window "$title" | head -1)" ||
            fail "a click on the main window did not give the focus back to \"$title\""
    fi
    keys Escape
    wait_for gone "$title" || fail "Escape did not close \"$title\""
done

# The launch uses both choices; the configuration file now lands beside the player.
xdotool windowfocus --sync "$MAIN"
xdotool key --clearmodifiers alt+l
wait_for grep -q '^ready ' "$LOG" || fail "the player did not show its window"
log_has 'argc 2' || fail "argument count"
log_has "argv[0] \"$PLAYER_DIR/SPCPLAY.EXE\"" || fail "argv[0]"
log_has "argv[1] \"$SPC\"" || fail "argv[1]"
grep -q '^cfg-exe "; SPCPlay Configuration file' "$LOG" || fail "no configuration file beside the player"
[ ! -e "$TMP/SPCPLAY.CFG" ] || fail "configuration file written into the working directory"

# And the player is under control: button 5 by its access key.
if [ -n "$WM" ]; then
    wait_for log_has focus-in || fail "the window manager did not focus the player"
fi
xdotool windowfocus --sync "$MAIN"
xdotool key --clearmodifiers alt+5
wait_for log_has 'press 5 shift=0 keycode=14' || fail "button 5 sent nothing to the player"
# Alt+S, shared with the Sound menu, only moves the focus to "Stop Playing"; Enter clicks it.
wait_for focus_is "$MAIN" || fail "the main window did not get the focus back"
xdotool key --clearmodifiers alt+s
sleep 0.2
xdotool key --clearmodifiers Return
wait_for log_has 'press q shift=0 keycode=24' || fail "Enter on the focused Stop button sent nothing"
echo "pickers: player directory and SPC file chosen by keyboard${WM:+ under $WM}"
