#!/usr/bin/env bash
# The real kavofe.exe under Wine's X11 driver on a private Xvfb, driven by real key presses and
# clicks. Usage: win32_e2e.sh BUILD_DIR, with WINEPREFIX set and the wineserver stopped.
source "$(dirname "$0")/wine_common.sh"

# A stand-in player of the player's length, titled like it, that logs its command line and keys.
mkdir -p "$WORK/player" "$WORK/music"
cp "$BUILD/kavo_probe.exe" "$WORK/player/SPCPLAY.EXE"
printf 'SNES' >"$WORK/music/A.SPC"
start_kavofe "$WORK/player" "$WORK/music/A.SPC" KAVO_PROBE_LOG="$(win "$WORK/keys.log")" \
    KAVO_PROBE_TITLE=SPCPLAY
xdotool key alt+l
wait_for '[ -n "$(visible SPCPLAY)" ]' "Launch started no player"
line=$(sed -n 's/^cmd //p' "$WORK/keys.log" | tr -d '\r')
[[ "$line" == "$(win "$WORK/player")\\SPCPLAY.EXE "*[\\:]A.SPC ]] || fail "command line: $line"

# "&Stop Playing", then "&+": keys in the player, the main window active again. The player's
# window is moved off the panel so that the clicks reach the buttons.
xdotool windowmove "$(visible SPCPLAY)" 0 500
for at in "32 81" "104 187"; do # the button's Y, the key it sends
    read -r y vk <<<"$at" && click 340 "$y"
    wait_for 'grep -q "^up $vk " "$WORK/keys.log"' "the player got no key $vk"
    wait_for '[ "$(xdotool getwindowfocus)" = "$MAIN" ]' "main window not active again"
done
# "&5" by its access key: the Alt still held does not reach the player.
focus
xdotool key alt+5
wait_for 'grep -qx "up 53 6" "$WORK/keys.log"' "no plain 5: $(tail -2 "$WORK/keys.log")"
# Ctrl+L opens the SPC file picker, Escape closes it and gives the main window the keyboard back;
# Ctrl+U raises the volume, Ctrl+X ends the program, which saves it.
focus
xdotool key ctrl+l
wait_for '[ -n "$(visible "Load SPC File")" ]' "Ctrl+L opened no SPC file picker"
xdotool key Escape
wait_for '[ -z "$(visible "Load SPC File")" ]' "Escape left the SPC file picker open"
xdotool key ctrl+u ctrl+x
wait_for '! kill -0 $APP 2>/dev/null' "Ctrl+X did not end the program"
[[ "$(wine reg query "$SETTINGS" /v Volume)" =~ REG_SZ\ +80($|[[:space:]]) ]] || fail "Volume not 80"
echo "win32 e2e: passed"
