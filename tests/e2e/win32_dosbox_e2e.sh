#!/usr/bin/env bash
# The real kavofe.exe under Wine's X11 driver with a German keyboard layout plays a DOS player
# "in DOSBox": a stand-in dosbox.exe on PATH that reads through its mounts and logs the scan
# codes it receives. Usage: win32_dosbox_e2e.sh BUILD_DIR, with WINEPREFIX set and the
# wineserver stopped.
source "$(dirname "$0")/wine_common.sh"
probe() { { tr -d '\r' <"$WORK/probe.log"; } 2>/dev/null || true; }

# A German layout: keys typed by character would reach DOSBox as other keys.
setxkbmap -display "$DISPLAY" de
PLAYER="$WORK/Player 50% & x; y" MUSIC="$WORK/Müsic & 100%"
OTHER=/dev/shm/kavo-e2e-$$ # another volume: the recording is delivered when DOSBox ends
mkdir -p "$PLAYER" "$MUSIC" "$WORK/bin" "$OTHER"
trap 'rm -rf "$OTHER"; finish' EXIT
printf 'MZ' >"$PLAYER/SPCPLAY.EXE" # the rest zero bytes: a DOS program to the front end
printf 'SNES-SPC700' >"$MUSIC/a;b %PATH% ü.spc"
cp "$BUILD/kavo_probe.exe" "$WORK/bin/dosbox.exe"
start_kavofe "$PLAYER" "$MUSIC/a;b %PATH% ü.spc" WINEPATH="$(win "$WORK/bin")" \
    KAVO_PROBE_LOG="$(win "$WORK/probe.log")"
# Sound, Log to WAV File by the menu bar: Alt+S is the Stop button's access key.
focus
xdotool key F10 && sleep 0.3 && xdotool key Right Down && sleep 0.3 && xdotool key l
type_into 113 "$OTHER/öut & 1%.wav"
# Wine rereads the keymap xdotool changed while typing; an access key in between is lost.
sleep 0.5 && xdotool key alt+l
wait_for 'probe | grep -q "^ready"' "no DOSBox window: $(probe)"
[ "$(probe | grep -c '^error')" = 0 ] && probe | grep -qx 'cfg 390' &&
    probe | grep -qx 'cmd C:\\SPCPLAY.EXE D:\\ABPATH.SPC -w E:\\UT1.WAV' || fail "$(probe)"

# "1", "+", "-", then "Stop Playing" (q): DOSBox reads key positions, so the US ones must arrive.
# Keys sent before its window is shown are lost, as with the real DOSBox; each click waits for
# the key it sent.
wait_for 'xdotool search --onlyvisible --name "Program:  SPCPLAY\$" >/dev/null' "no DOSBox window"
sleep 0.5
downs() { probe | grep -c '^down ' || true; }
for at in "304 56" "340 104" "365 104" "340 32"; do
    before=$(downs)
    click $at
    wait_for '[ "$(downs)" -gt '"$before"' ]' "no key from the click at $at: $(probe)" 50
done
wait_for '[ -z "$(find "$WINEPREFIX/drive_c" -maxdepth 5 -name "kavofe-dosbox-*")" ]' \
    "the staging directory is still there: $(probe)"
[ "$(probe | sed -n 's/^down //p' | xargs)" = "2 42 13 12 16" ] || fail "scan codes: $(probe)"
[ "$(cat "$OTHER/öut & 1%.wav")" = "WAV:SNES-SPC700" ] || fail "WAV: $(cat "$OTHER"/*)"
echo "win32 dosbox e2e: passed"
