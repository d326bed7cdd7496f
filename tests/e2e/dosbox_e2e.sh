#!/usr/bin/env bash
# The DOS player inside the real DOSBox, with no window manager (activation is the program's
# own): the player stored by an earlier run, the program started elsewhere, an SPC and a WAV
# file named like devices only DOSBox has, both behind characters DOSBox's command parser would
# act on, Launch; the DOS probe logs what it was given and every key it reads. The panel's keys
# must arrive exactly, also under a German host layout and with a stranger titled like the
# player shown, the main window gets the focus back after each click, and after q DOSBox ends,
# the WAV file holds what the probe appended and the staging directory is gone.
# Usage: dosbox_e2e.sh KAVOFE DOS_PROBE ARTEFACT_DIR
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"
PLAYER_DIR="$TMP/DOS Player" MUSIC="$TMP/My \"Music\"; 100% & more"
LOG=$PLAYER_DIR/PROBE.LOG
mkdir -p "$PLAYER_DIR" "$MUSIC"
trap 'setxkbmap us; pkill -f -- "-conf $TMP/runtime/" || true; cleanup' EXIT
printf '[Settings]\nSPCDir=%s\nVolume=80\n' "$PLAYER_DIR/SPCPLAY.EXE" >"$INI"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700 Sound File Data' >"$MUSIC/emmxxxx0.spc" && printf 'RIFF' >"$MUSIC/mscd001.wav"
start_kavofe SDL_AUDIODRIVER=dummy

# type_into Y TEXT: into the text box whose centre is at Y twips.
type_into() { click_at 2167 "$1" && xdotool key --clearmodifiers ctrl+a type --delay 5 "$2"; }
type_into 502 "$MUSIC/emmxxxx0.spc"
# The WAV box takes text only while logging is on; Sound is reached from the File menu, as
# Alt+S is also the Stop button's key.
keys alt+f Right l
type_into 1702 "$MUSIC/mscd001.wav"
xdotool key --clearmodifiers alt+l

probe() { tr -d '\r' <"$LOG"; }
for _ in 1 2 3 4; do wait_for grep -q '^READY' "$LOG" && break; done
STAGE=$(find "$TMP/runtime" -mindepth 1 -maxdepth 1 -name 'kavofe-dosbox-*')
[ -n "$STAGE" ] && [ "$(stat -c %a "$STAGE")" = 700 ] && probe | grep -q '^READY' ||
    fail "the DOS program does not wait for keys in a private staging directory"
# Inside DOS: the player as C:\SPCPLAY.EXE with C: current, the files under names of ours.
probe | grep -qx 'TAIL: D:\\EMMXXXX_.SPC -w E:\\MSCD001_.WAV' || fail "command tail"
probe | grep -qx 'SPC:534E45532D535043' || fail "the SPC file's first bytes" # SNES-SPC
[ "$(probe | sed -n '/^CFG:$/,/^CFGEND$/{//!p}')" = "$(tr -d '\r' <"$PLAYER_DIR/SPCPLAY.CFG")" ] &&
    grep -q '^Volume = 80' "$PLAYER_DIR/SPCPLAY.CFG" || fail "the DOS program read another CFG"

# A stranger titled like the player (an editor showing its configuration) never takes the keys.
xev -name 'SPCPLAY.CFG - Text Editor' >/dev/null &
wait_for xdotool search --name '^SPCPLAY.CFG' || fail "no stranger window"
# DOSBox's new window covers part of the panel; the user brings the main window back first.
# Another host layout moves "+", "-" and the digits; inside DOS nothing may change.
xdotool windowraise "$MAIN" windowfocus --sync "$MAIN"
for button in 1 9 + - de + - 1 q; do
    [ "$button" = de ] && setxkbmap de && continue
    press "$button" ^KEY:
done
keys=$(probe | sed -n 's/^KEY://p' | tr '\n' ';')
[ "$keys" = '31 02;39 0A;2B 0D;2D 0C;2B 0D;2D 0C;31 02;71 10;' ] || fail "keys read: $keys"
wait_for grep -q '^END' "$LOG" && wait_for test ! -e "$STAGE" ||
    fail "the DOS program did not end, or the staging directory stayed"
[ "$(cat "$MUSIC/mscd001.wav")" = RIFFPROBEWAV ] || fail "WAV: $(cat "$MUSIC"/*.wav)"
echo "DOSBox e2e passed"
