#!/usr/bin/env bash
# The DOS player inside the real DOSBox: the directory adopted in its picker, an SPC file and a
# WAV file with long names behind blanks, Launch; the DOS probe reports what it was given and
# every key it reads. The panel's keys must arrive exactly, also under a German host layout,
# the main window gets the focus back after each click, and after q DOSBox ends, the WAV file
# holds what the probe appended and the staging directory is gone.
# Usage: dosbox_e2e.sh KAVOFE DOS_PROBE ARTEFACT_DIR [openbox]
ARTEFACT_PREFIX="dosbox_"
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

if [ "$WM" = openbox ]; then
    # shellcheck source=tests/e2e/openbox.sh
    source "$(dirname "$0")/openbox.sh"
    start_openbox
fi

# Characters DOSBox's command parser would act on in the names of the user's files.
PLAYER_DIR="$TMP/DOS Player"
SPC="$TMP/My \"Music\"; 100% & more/Track One.spc"
WAV="$TMP/My \"Music\"; 100% & more/Output of today.wav"
RUNTIME=$TMP/runtime
LOG=$PLAYER_DIR/PROBE.LOG
mkdir -p "$PLAYER_DIR" "$TMP/home/.config/kavofe" "$(dirname "$SPC")"
mkdir -m 700 "$RUNTIME"
stop_dosbox() { pkill -f -- "-conf $RUNTIME/" 2>/dev/null || true; }
trap 'stop_dosbox; cleanup' EXIT
printf '[Settings]\nSPCDir3=/\nSPCDir4=%s\nVolume=80\n' "$PLAYER_DIR" \
    >"$TMP/home/.config/kavofe/KAVO FE.ini"
cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf 'SNES-SPC700 Sound File Data' >"$SPC"
printf 'RIFF' >"$WAV"

(cd "$TMP" && HOME=$TMP/home XDG_CONFIG_HOME=$TMP/home/.config XDG_RUNTIME_DIR=$RUNTIME \
    QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy exec "$KAVOFE") &
PIDS+=($!)
KAVOFE_PID=$!

CAPTION='KAVOfe - Version 1.03j'
find_main() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name "^$CAPTION\$"; }
wait_for find_main || fail "the main window did not appear"
WID=$(find_main | head -1)
xdotool windowfocus --sync "$WID"
INFO=$(xwininfo -id "$WID")
X=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$INFO")
Y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$INFO")
HEIGHT=$(awk '/^ *Height:/ { print $2 }' <<<"$INFO")
CLIENT_Y=$((Y + HEIGHT - 1890 / 15))
click_twips() { # left top width height, within the client area
    xdotool mousemove --sync $((X + ($1 + $3 / 2) / 15)) $((CLIENT_Y + ($2 + $4 / 2) / 15))
    xdotool click 1
}
type_into() { # left top text
    xdotool windowfocus --sync "$WID"
    click_twips "$1" "$2" 4095 285
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 5 "$3"
}
focus_is_main() { [ "$(xdotool getwindowfocus -f)" = "$WID" ]; }

# The player directory through its picker, which opens at the player.
find_picker() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name '^Set SPCPLAY.EXE Dir$'; }
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers s
wait_for find_picker || fail "the player directory picker did not open"
xdotool windowfocus --sync "$(find_picker | head -1)"
xdotool key --clearmodifiers alt+s
wait_for bash -c "! xdotool search --all --onlyvisible --pid $KAVOFE_PID --name '^Set SPCPLAY.EXE Dir\$'" ||
    fail "the player directory picker did not close"

type_into 120 360 "$SPC"
# The WAV box takes text only while logging is on. (Alt+S is also the Stop button's key: the
# Sound menu is reached from the File menu.)
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers Right
sleep 0.3
xdotool key --clearmodifiers l
sleep 0.2
type_into 120 1560 "$WAV"
xdotool key --clearmodifiers alt+l

ready() { grep -q '^READY' "$LOG"; }
for _ in $(seq 4); do wait_for ready && break; done
ready || fail "the DOS program did not report that it waits for keys"
STAGE=$(find "$RUNTIME" -mindepth 1 -maxdepth 1 -name 'kavofe-dosbox-*')
[ -n "$STAGE" ] || fail "no staging directory under XDG_RUNTIME_DIR"
[ "$(stat -c %a "$STAGE")" = 700 ] || fail "the staging directory is not private"

# Inside DOS: the player as C:\SPCPLAY.EXE with C: current, the files under names of ours.
log_line() { tr -d '\r' <"$LOG" | grep -m1 "^$1" || true; }
[ "$(log_line TAIL:)" = 'TAIL: D:\TRACKONE.SPC -w E:\OUTPUTOF.WAV' ] || fail "command tail: $(log_line TAIL:)"
[ "$(log_line SPC:)" = "SPC:$(head -c 8 "$SPC" | od -An -tx1 | tr -d " \n" | tr a-f A-F)" ] || fail "SPC bytes: $(log_line SPC:)"
CFG=$(tr -d '\r' <"$LOG" | sed -n '/^CFG:$/,/^CFGEND$/p' | sed '1d;$d')
[ "$CFG" = "$(tr -d '\r' <"$PLAYER_DIR/SPCPLAY.CFG")" ] || fail "the DOS program read another SPCPLAY.CFG"
grep -q '^Volume = 80' <<<"$CFG" || fail "SPCPLAY.CFG was not written from the settings"

FRAME_LEFT=4320
FRAME_TOP=120
declare -A BUTTON=([1]="120 600 255" [9]="300 1320 255" [+]="660 1320 255" [-]="1040 1320 255"
    [q]="120 240 1335")
keys_logged() { grep -c '^KEY:' "$LOG" || true; }
more_keys_than() { [ "$(keys_logged)" -gt "$1" ]; }
press() { # button, the key line the DOS program must read
    local before
    read -r left top width <<<"${BUTTON[$1]}"
    before=$(keys_logged)
    click_twips $((FRAME_LEFT + left)) $((FRAME_TOP + top)) "$width" 255
    wait_for more_keys_than "$before" || fail "button $1: no key arrived"
    [ "$(tr -d '\r' <"$LOG" | grep '^KEY:' | tail -n +$((before + 1)))" = "KEY:$2" ] ||
        fail "button $1: read $(grep '^KEY:' "$LOG" | tail -n +$((before + 1)) | tr -d '\r' | tr '\n' ' '), wanted $2"
    wait_for focus_is_main || fail "button $1: the main window did not get the focus back"
}
# DOSBox's new window covers part of the panel; the user brings the main window back first.
xdotool windowraise "$WID"
xdotool windowfocus --sync "$WID"
press 1 '31 02'
press 9 '39 0A'
press + '2B 0D'
press - '2D 0C'
# Another host layout moves "+", "-" and the digits; inside DOS nothing may change.
setxkbmap -display "$DISPLAY" de
trap 'setxkbmap -display "$DISPLAY" us; stop_dosbox; cleanup' EXIT
press + '2B 0D'
press - '2D 0C'
press 1 '31 02'
press q '71 10'
setxkbmap -display "$DISPLAY" us

wait_for grep -q '^END' "$LOG" || fail "the DOS program did not end"
wait_for test ! -e "$STAGE" || fail "the staging directory is still there after DOSBox ended"
[ "$(cat "$WAV")" = 'RIFFPROBEWAV' ] || fail "WAV file holds $(cat "$WAV")"
echo "DOSBox e2e passed${WM:+ with $WM}"
