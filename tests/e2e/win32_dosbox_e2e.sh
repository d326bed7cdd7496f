#!/usr/bin/env bash
# The real kavofe.exe under Wine's X11 driver with a German keyboard layout plays a DOS player
# "in DOSBox": a stand-in dosbox.exe on PATH that reads through its mounts and logs the scan
# codes it receives. Usage: win32_dosbox_e2e.sh BUILD_DIR, with WINEPREFIX set and the
# wineserver stopped.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
source scripts/xvfb.sh
WORK=$(mktemp -d)
start_xvfb 200 249
export DISPLAY=$XVFB_DISPLAY
finish() {
    wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap finish EXIT
fail() {
    echo "win32 dosbox e2e: $*" >&2
    import -window root /tmp/wtdb-shot.png 2>/dev/null || true
    exit 1
}
wait_for() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; fail "$2"; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
stages() { find "$WINEPREFIX/drive_c" -maxdepth 5 -name 'kavofe-dosbox-*' | wc -l; }

# A German layout: keys typed by character would reach DOSBox as other keys.
setxkbmap -display "$DISPLAY" de
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
PLAYER="$WORK/Player 50% & x; y" # non-ASCII names: dosbox_starter_test.cpp
mkdir -p "$PLAYER" "$WORK/music & 100%" "$WORK/bin"
{ printf 'MZ'; head -c 62 /dev/zero; } >"$PLAYER/SPCPLAY.EXE"
truncate -s 913758 "$PLAYER/SPCPLAY.EXE"
printf 'SNES-SPC700' >"$WORK/music & 100%/a;b %PATH%.spc"
cp "$BUILD/kavo_probe_dosbox.exe" "$WORK/bin/dosbox.exe"
wine reg delete 'HKCU\Software\KAVO FE' /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\KAVO FE\Settings' /v SPCDir3 /d Z: /f >/dev/null 2>&1
wine reg add 'HKCU\Software\KAVO FE\Settings' /v SPCDir4 /d "$(winepath -w "$PLAYER" 2>/dev/null)" \
    /f >/dev/null 2>&1
WINEPATH=$(winepath -w "$WORK/bin" 2>/dev/null) KAVO_PROBE_LOG=$(winepath -w "$WORK/probe.log" 2>/dev/null) \
    wine "$BUILD/kavofe.exe" >/dev/null 2>&1 </dev/null &
APP=$!

wait_for '[ -n "$(visible "^KAVOfe - Version 1.03j\$")" ]' "no main window"
MAIN=$(visible "^KAVOfe - Version 1.03j\$")
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
MENU=$((HEIGHT - 126)) # the client area is 126 pixels high; the menu bar is above it
focus() { xdotool windowraise "$MAIN" windowfocus --sync "$MAIN"; sleep 0.3; }
box() { # fills the edit box at y
    focus
    xdotool mousemove --window "$MAIN" 144 $((MENU + $1)) click 1
    xdotool type --delay 20 "$(winepath -w "$2" 2>/dev/null)"
}

focus
xdotool key alt+f s # the player directory picker opens on SPCDir4; Set adopts it
wait_for '[ -n "$(visible "^Set SPCPLAY.EXE Dir\$")" ]' "no player directory picker"
xdotool key Return
wait_for '[ -z "$(visible "^Set SPCPLAY.EXE Dir\$")" ]' "Set left the picker open"
box 33 "$WORK/music & 100%/a;b %PATH%.spc"
focus
# Sound, Log to WAV File by the menu bar: Alt+S is the Stop button's access key.
xdotool key F10 && sleep 0.3 && xdotool key Right Down && sleep 0.3 && xdotool key l
box 113 "$WORK/music & 100%/out.wav"
xdotool key alt+l
wait_for 'grep -q "^ready" "$WORK/probe.log" 2>/dev/null' "no DOSBox window: $(cat "$WORK/probe.log" 2>&1)"
grep -q '^error' "$WORK/probe.log" && fail "$(cat "$WORK/probe.log")"
grep -q '^cmd C:\\SPCPLAY.EXE D:\\ABPATH.SPC -w E:\\OUT.WAV' "$WORK/probe.log" || fail "$(cat "$WORK/probe.log")"
[ "$(stages)" = 1 ] || fail "$(stages) staging directories while DOSBox runs"

# "1", "+", "-", then "Stop Playing" (q): DOSBox reads key positions, so the US ones must arrive.
for at in "304 56" "340 104" "365 104" "340 32"; do
    read -r x y <<<"$at"
    focus
    xdotool mousemove --window "$MAIN" "$x" $((MENU + y)) click 1
    sleep 0.5
done
wait_for '[ "$(stages)" = 0 ]' "the staging directory is still there: $(cat "$WORK/probe.log")"
keys=$(sed -n 's/^down //p' "$WORK/probe.log" | tr -d '\r' | tr '\n' ' ')
[ "$keys" = "2 42 13 12 16 " ] || fail "scan codes: $keys"
[ "$(cat "$WORK/music & 100%/out.wav")" = "WAV:SNES-SPC700" ] || fail "WAV: $(cat "$WORK/music & 100%/out.wav")"

focus
xdotool key ctrl+x
wait_for '! kill -0 $APP 2>/dev/null' "Ctrl+X did not end the program"
echo "win32 dosbox e2e: passed"
