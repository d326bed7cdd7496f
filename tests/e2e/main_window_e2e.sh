#!/usr/bin/env bash
# The real program under openbox, driven like a user: both pickers by keyboard alone (what they
# store, and that the main window takes no input while one is open), a launch of the stand-in
# player, then the panel: the exact keys reach the player, and the main window has the focus
# after each press.
# Usage: main_window_e2e.sh KAVOFE STANDIN ARTEFACT_DIR
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"
# Openbox loses windows mapped before its start-up is over; it runs the command once it is.
openbox --replace --sm-disable --startup "touch $TMP/wm-ready" >/dev/null 2>&1 &
wait_for test -e "$TMP/wm-ready" || fail "openbox did not start"

# The player and the SPC file behind blanks, both beside the working directory, so that both
# pickers open there on a first run.
PLAYER_DIR="$TMP/SPC Player" MUSIC="$TMP/My Music"
mkdir -p "$PLAYER_DIR" "$MUSIC"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700' >"$MUSIC/Track One.spc" && printf 'x' >"$MUSIC/notes.txt"
start_kavofe KAVO_STANDIN_LOG="$LOG"
ini_has() { grep -qxF -- "$1" "$INI"; }

# The player directory: to the directory list, type-ahead, Enter goes in, Alt+S sets it. Then
# the SPC file: into "My Music", to the file list, Space selects, Enter loads.
set_player_dir Tab S P Return
wait_for ini_has "SPCDir4=$PLAYER_DIR" && ini_has "SPCDir3=/" || fail "player directory not saved"
keys ctrl+l
wait_for focus_in 'Load SPC File' || fail "the SPC file picker did not take the focus"
keys Tab M y Return Tab space Return
wait_for ini_has "SPCDir2=$MUSIC" && ini_has "SPCDir1=/" || fail "the SPC directory was not saved"

# The pickers are modal (one base does it for both): while one is open a close request to the
# main window changes nothing, and a click on it gives the picker the focus back.
xdotool windowfocus --sync "$MAIN" key --clearmodifiers ctrl+l
wait_for focus_in 'Load SPC File' || fail "the SPC file picker did not reopen with the focus"
saved=$(cat "$INI")
wmctrl -i -c "$MAIN" # as the window manager's close box does
sleep 0.5
[ -n "$(find_window "$TITLE")" ] && [ "$(cat "$INI")" = "$saved" ] ||
    fail "a close request under a picker closed the main window or saved the settings"
xdotool mousemove --window "$MAIN" 30 60 click 1
wait_for focus_in 'Load SPC File' || fail "a click did not give the picker the focus back"
keys Escape
wait_for gone 'Load SPC File' || fail "Escape did not close the picker"

# Launch: the player path and the SPC path each one argument despite their blanks (where the
# configuration goes the core pins, and the DOSBox run reads it there).
xdotool windowfocus --sync "$MAIN" key --clearmodifiers alt+l
wait_for grep -q ^MapNotify "$LOG" || fail "the player did not show its window"
[ "$(sed -n '/^arg/,/^cwd/p' "$LOG")" = "$(printf 'arg %s\n' "$PLAYER_DIR/SPCPLAY.EXE" \
    "$MUSIC/Track One.spc")"$'\n'"cwd $PLAYER_DIR" ] || fail "arguments or working directory"

# The panel: each press gives the player its keys, then the main window the focus back.
wait_for grep -q ^FocusIn "$LOG" || fail "the window manager did not focus the player"
press + ^KeyRelease
# By access key; Alt+S, shared with the Sound menu, only focuses "Stop Playing": Enter clicks it.
press alt+5 ^KeyRelease
keys alt+s
press Return ^KeyRelease
# xev logs a key on lines "KeyPress event, ..." and "  state 0x1, keycode 21 (keysym 0x2b, plus),
# ...": +plus. Releases before the first press are of keys pressed in the main window (Alt+L's L,
# when the stand-in shows its window at once), which the player did not get.
keys=$(awk '/^Key/ { sign = $1 == "KeyPress" ? "+" : "-" } sign && /keysym/ && (presses += sign == "+") {
    sub(/.*keysym [^ ]* /, ""); sub(/\).*/, ""); printf "%s%s ", sign, $0; sign = "" }' "$LOG")
[ "$keys" = '+Shift_L +plus -Shift_L -equal +5 -5 +q -q ' ] || fail "keys: $keys"
echo "main window e2e passed"
