#!/usr/bin/env bash
# The DOS player inside the real DOSBox: the directory adopted in its picker, SPC and WAV files
# with long names behind characters DOSBox's command parser would act on, Launch; the DOS probe
# reports what it was given and every key it reads. The panel's keys must arrive exactly, also
# under a German host layout, the main window gets the focus back after each click, and after
# q DOSBox ends, the WAV file holds what the probe appended and the staging directory is gone.
# Usage: dosbox_e2e.sh KAVOFE DOS_PROBE ARTEFACT_DIR
ARTEFACT_PREFIX="dosbox_"
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

PLAYER_DIR="$TMP/DOS Player"
SPC="$TMP/My \"Music\"; 100% & more/Track One.spc"
WAV="$TMP/My \"Music\"; 100% & more/Output of today.wav"
LOG=$PLAYER_DIR/PROBE.LOG
mkdir -p "$PLAYER_DIR" "$(dirname "$SPC")"
stop_dosbox() { pkill -f -- "-conf $TMP/runtime/" 2>/dev/null || true; }
trap 'setxkbmap -display "$DISPLAY" us; stop_dosbox; cleanup' EXIT
printf '[Settings]\nSPCDir3=/\nSPCDir4=%s\nVolume=80\n' "$PLAYER_DIR" >"$INI"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700 Sound File Data' >"$SPC"
printf 'RIFF' >"$WAV"
start_kavofe "$TMP" SDL_AUDIODRIVER=dummy

type_into() { # left top text
    xdotool windowfocus --sync "$MAIN"
    click_twips "$1" "$2" 4095 285
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 5 "$3"
}
# The player directory through its picker, which opens at the player.
keys alt+f s
wait_for find_window 'Set SPCPLAY.EXE Dir' || fail "the player directory picker did not open"
xdotool windowfocus --sync "$(find_window 'Set SPCPLAY.EXE Dir' | head -1)"
keys alt+s
wait_for gone 'Set SPCPLAY.EXE Dir' || fail "the player directory picker did not close"
type_into 120 360 "$SPC"
# The WAV box takes text only while logging is on; Sound is reached from the File menu, as
# Alt+S is also the Stop button's key.
keys alt+f Right l
type_into 120 1560 "$WAV"
xdotool key --clearmodifiers alt+l

ready() { grep -q '^READY' "$LOG"; }
for _ in $(seq 4); do wait_for ready && break; done
ready || fail "the DOS program did not report that it waits for keys"
STAGE=$(find "$TMP/runtime" -mindepth 1 -maxdepth 1 -name 'kavofe-dosbox-*')
[ -n "$STAGE" ] || fail "no staging directory under XDG_RUNTIME_DIR"
[ "$(stat -c %a "$STAGE")" = 700 ] || fail "the staging directory is not private"

# Inside DOS: the player as C:\SPCPLAY.EXE with C: current, the files under names of ours.
log_line() { tr -d '\r' <"$LOG" | grep -m1 "^$1" || true; }
[ "$(log_line TAIL:)" = 'TAIL: D:\TRACKONE.SPC -w E:\OUTPUTOF.WAV' ] || fail "command tail: $(log_line TAIL:)"
[ "$(log_line SPC:)" = "SPC:$(head -c 8 "$SPC" | od -An -tx1 | tr -d " \n" | tr a-f A-F)" ] || fail "SPC bytes: $(log_line SPC:)"
CFG=$(tr -d '\r' <"$LOG" | sed -n '/^CFG:$/,/^CFGEND$/p' | sed '1d;$d')
[ "$CFG" = "$(tr -d '\r' <"$PLAYER_DIR/SPCPLAY.CFG")" ] || fail "the DOS program read another SPCPLAY.CFG"
grep -q '^Volume = 80' <<<"$CFG" || fail "SPCPLAY.CFG was not written from the settings"

key_lines() { tr -d '\r' <"$LOG" | grep '^KEY:' || true; }
more_keys_than() { [ "$(key_lines | wc -l)" -gt "$1" ]; }
press() { # button, the key line the DOS program must read
    local before
    before=$(key_lines | wc -l)
    click_button "$1"
    wait_for more_keys_than "$before" || fail "button $1: no key arrived"
    [ "$(key_lines | tail -n +$((before + 1)))" = "KEY:$2" ] ||
        fail "button $1: read $(key_lines | tail -n +$((before + 1)) | tr '\n' ' '), wanted $2"
    wait_for focus_is "$MAIN" || fail "button $1: the main window did not get the focus back"
}
# DOSBox's new window covers part of the panel; the user brings the main window back first.
xdotool windowraise "$MAIN"
xdotool windowfocus --sync "$MAIN"
press 1 '31 02'
press 9 '39 0A'
press + '2B 0D'
press - '2D 0C'
# Another host layout moves "+", "-" and the digits; inside DOS nothing may change.
setxkbmap -display "$DISPLAY" de
press + '2B 0D'
press - '2D 0C'
press 1 '31 02'
press q '71 10'
setxkbmap -display "$DISPLAY" us

wait_for grep -q '^END' "$LOG" || fail "the DOS program did not end"
wait_for test ! -e "$STAGE" || fail "the staging directory is still there after DOSBox ended"
[ "$(cat "$WAV")" = 'RIFFPROBEWAV' ] || fail "WAV file holds $(cat "$WAV")"
echo "DOSBox e2e passed"
