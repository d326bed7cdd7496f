# shellcheck shell=bash disable=SC2034 # the sourcing scripts use what is set here
# Sourced by the real-window runs on the test display: their arguments, a scratch directory,
# the processes to stop at exit, polling and the program's main window.
# Arguments: KAVOFE PLAYER ARTEFACT_DIR
set -euo pipefail
KAVOFE=$1 STANDIN=$2 ARTEFACTS=$3
export DISPLAY=${KAVO_TEST_DISPLAY:?is not set: test.sh starts a private Xvfb for the tests}
TMP=$(mktemp -d)
LOG=$TMP/player.log INI="$TMP/home/.config/kavofe/KAVO FE.ini" TITLE='KAVOfe - Version 1.03j'
mkdir -p "$ARTEFACTS" "$TMP/home/.config/kavofe" && mkdir -m 700 "$TMP/runtime"
# shellcheck disable=SC2046 # one word per process
cleanup() { kill $(jobs -p) $(sed -n 's/^pid //p' "$LOG") || :; wait; rm -rf "$TMP"; } 2>/dev/null
trap cleanup EXIT
fail() { # with the player's log and a screenshot
    echo "FAIL: $*" && sed 's/^/  player: /' "$LOG" || :
    import -window root "$ARTEFACTS/$(basename "$0" .sh).png" || :
    exit 1
} >&2 2>/dev/null
# wait_for COMMAND...: polls it for up to five seconds.
wait_for() { for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done; return 1; }
# By process too: a window manager may show windows of its own under the same title.
find_window() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name "^$1\$" | head -1; }
gone() { [ -z "$(find_window "$1")" ]; }
focus_in() { [ "$(xdotool getwindowfocus -f)" = "$(find_window "$1")" ]; } # that title's window
start_kavofe() { # with extra environment entries, from $TMP
    (cd "$TMP" && exec env HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/home/.config" \
        XDG_RUNTIME_DIR="$TMP/runtime" QT_QPA_PLATFORM=xcb "$@" "$KAVOFE") &
    KAVOFE_PID=$!
    wait_for find_window "$TITLE" || fail "the main window did not appear"
    MAIN=$(find_window "$TITLE")
    # Client area in twips, 15 to a pixel, below the menu bar (xwininfo: xdotool counts a
    # window manager's frame twice).
    eval "$(xwininfo -id "$MAIN" | awk '/Absolute upper-left X/ { print "X=" $4 }
        /Absolute upper-left Y/ { y = $4 } /^ *Height:/ { print "Y=" (y + $2 - 126) }')"
}
# click_at X Y: in the main window, given the focus first, at a point of its client area in twips.
click_at() { xdotool windowfocus --sync "$MAIN" mousemove --sync $((X+$1/15)) $((Y+$2/15)) click 1; }
# The centres of some panel buttons in the client area, in twips.
declare -A BUTTON=([q]="5107 487" [1]="4567 847" [9]="4747 1567" [+]="5107 1567" [-]="5487 1567")
# A short pause lets each list refill before the next key.
keys() { for key in "$@"; do xdotool key --clearmodifiers "$key" && sleep 0.1; done; }
# press BUTTON_OR_KEY PATTERN: the player logs one more line that matches, then the main window
# has the focus again.
more_than() { [ "$(grep -c "$1" "$LOG")" -gt "$2" ]; } # PATTERN COUNT
press() {
    local before
    before=$(grep -c "$2" "$LOG" || true)
    # shellcheck disable=SC2086 # the centre is two words
    if [ "${#1}" = 1 ]; then click_at ${BUTTON[$1]}; else xdotool key --clearmodifiers "$1"; fi
    wait_for more_than "$2" "$before" && wait_for focus_in "$TITLE" ||
        fail "$1: no key arrived, or the focus did not come back"
}
# The player directory through its picker: the picker takes the focus, and Alt+S sets the
# directory it shows after the keys given.
set_player_dir() {
    xdotool windowfocus --sync "$MAIN"
    keys alt+f s
    wait_for focus_in 'Set SPCPLAY.EXE Dir' || fail "no player directory picker with the focus"
    keys "$@" alt+s
    wait_for gone 'Set SPCPLAY.EXE Dir' || fail "Set did not close the player directory picker"
}
