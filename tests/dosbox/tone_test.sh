#!/usr/bin/env bash
# The player's DOSBox as the user hears it: the tone program (tone.asm) stands in for the player
# remembered from an earlier run, and Launch runs it through the real starter, with SDL's disk
# audio driver writing what DOSBox plays to a file. Its 440 Hz tone must be found there, and it
# must count at least ten times as fast as under a bare DOSBox with DOSBox's defaults.
# Usage: tone_test.sh KAVOFE TONE_EXE ARTEFACT_DIR
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/../e2e/common.sh"
PLAYER_DIR=$TMP/player
mkdir -p "$PLAYER_DIR" && cp "$STANDIN" "$PLAYER_DIR/SPCPLAY.EXE"
printf '[Settings]\nSPCDir=%s\n' "$PLAYER_DIR/SPCPLAY.EXE" >"$INI"
# Loop iterations a second, as the program left them.
speed() { echo $((16#$(tr -d '\r\n' <"$PLAYER_DIR/SPEED.TXT"))) && rm "$PLAYER_DIR/SPEED.TXT"; }

printf '[autoexec]\nmount c %s\nc:\nSPCPLAY\nexit\n' "$PLAYER_DIR" >"$TMP/bare.conf"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy timeout 120 dosbox -conf "$TMP/bare.conf" >/dev/null 2>&1
defaults=$(speed) || fail "the program did not run under a bare DOSBox"

# SDL's default delay of 150 ms drops most buffers.
start_kavofe SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$TMP/out.raw" SDL_DISKAUDIODELAY=23
click_at 2167 502 && xdotool type x && xdotool key --clearmodifiers alt+l # any SPC box text
for _ in $(seq 24); do wait_for test -e "$PLAYER_DIR/SPEED.TXT" && break; done
# DOSBox has ended when the starter has removed its staging directory.
ended() { [ -z "$(ls "$TMP/runtime")" ]; }
for _ in $(seq 24); do wait_for ended && break; done
ours=$(speed) || fail "the program did not run under the starter"
[ "$ours" -ge $((10 * defaults)) ] || fail "$ours loop iterations a second against $defaults"

# The share of the power that the strongest frequency within 10 Hz of 440 holds in the second
# after the first quarter second of sound (the left channel): Goertzel over tenths of a second,
# whose powers add up, as a loaded host's gaps in the sound break the phase.
share=$(od -An -v -td2 -w4 "$TMP/out.raw" | awk '{ x[n++] = $1 } END {
    for (s = 0; s < n && x[s] * x[s] <= 1e6; s++); s += 11025
    for (f = 430; f <= 450 && n - s >= 44100; f++) {
        c = 2 * cos(2 * 3.14159265358979 * f / 44100); power = 0
        for (b = s; b < s + 44100; b += 4410) {
            s1 = s2 = 0
            for (i = b; i < b + 4410; i++) { s0 = x[i] + c * s1 - s2; s2 = s1; s1 = s0 }
            power += 2 * (s1 * s1 + s2 * s2 - c * s1 * s2) / 4410
            if (f == 430) for (i = b; i < b + 4410; i++) energy += x[i] * x[i]
        }
        if (power > best) best = power
    }
    print (energy > 0 ? best / energy : 0); exit !(energy > 0 && best > energy / 2) }') ||
    fail "no second of 440 Hz in the capture (share ${share:-0})"
echo "tone and speed passed: $ours loop iterations a second against $defaults, tone share $share"
