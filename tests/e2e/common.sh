# shellcheck shell=bash
# Sourced by the real-window tests after they set ARTEFACT_PREFIX: their arguments, a scratch
# directory, the processes to stop at exit, openbox on the test display, polling helpers and
# the program's main window. Arguments: KAVOFE PLAYER ARTEFACT_DIR [nowm]
set -euo pipefail

KAVOFE=$1
STANDIN=$2
ARTEFACTS=$3
WM=${4:-openbox}
: "${KAVO_TEST_DISPLAY:?is not set: run the tests through test.sh, which starts a private Xvfb}"
export DISPLAY=$KAVO_TEST_DISPLAY

mkdir -p "$ARTEFACTS"
TMP=$(mktemp -d)
LOG=$TMP/standin.log
INI="$TMP/home/.config/kavofe/KAVO FE.ini"
mkdir -p "$TMP/home/.config/kavofe"
mkdir -m 700 "$TMP/runtime"
PIDS=()
cleanup() {
    local pid
    if [ -f "$LOG" ]; then
        cp "$LOG" "$ARTEFACTS/${ARTEFACT_PREFIX}player.log"
        pid=$(sed -n 's/^pid //p' "$LOG" | head -1)
        [ -n "$pid" ] && PIDS+=("$pid")
    fi
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$TMP"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    import -window root "$ARTEFACTS/${ARTEFACT_PREFIX}failure.png" 2>/dev/null || true
    [ -f "$INI" ] && sed 's/^/  settings: /' "$INI" >&2
    [ -f "$LOG" ] && sed 's/^/  player: /' "$LOG" >&2
    exit 1
}
wait_for() { # polls a command for up to five seconds
    local _
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
log_has() { grep -qxF -- "$1" "$LOG"; }
ini_has() { grep -qxF -- "$1" "$INI"; }

# Openbox announces itself before its start-up is over and loses windows mapped meanwhile:
# it is up once it frames a probe window. Leftovers of an earlier one must not count.
root_item() { xprop -root "$1" 2>/dev/null | sed -n 's/^[^=]*= \([0-9]*\).*/\1/p'; }
openbox_gone() { ! kill -0 "$(root_item _OPENBOX_PID)" 2>/dev/null; }
framed() {
    xdotool search --onlyvisible --classname kavo-probe | head -1 |
        xargs -r -I{} xprop -id {} _NET_FRAME_EXTENTS | grep -q =
}
# Without a window manager activation is ours alone (raise and focus); "nowm" checks that.
if [ "$WM" = openbox ]; then
    wait_for openbox_gone || fail "another openbox still manages the display"
    openbox --sm-disable >/dev/null 2>&1 &
    PIDS+=($!)
    for attempt in $(seq 10); do
        xmessage -name kavo-probe -timeout 10 "probe $attempt" >/dev/null 2>&1 &
        probe=$!
        wait_for framed && ok=1 || ok=0
        kill "$probe" 2>/dev/null || true
        wait "$probe" 2>/dev/null || true
        [ "$ok" = 1 ] && break
    done
    [ "$ok" = 1 ] || fail "openbox does not manage new windows"
    wait_for bash -c '! xdotool search --onlyvisible --classname kavo-probe'
fi

# By process too: a window manager may show windows of its own under the same title.
find_window() { xdotool search --all --onlyvisible --pid "$KAVOFE_PID" --name "^$1\$"; }
gone() { ! find_window "$1"; }
focus_is() { [ "$(xdotool getwindowfocus -f)" = "$1" ]; }
start_kavofe() { # from directory $1, with extra environment entries
    local dir=$1
    shift
    (cd "$dir" && exec env HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/home/.config" \
        XDG_RUNTIME_DIR="$TMP/runtime" QT_QPA_PLATFORM=xcb "$@" "$KAVOFE") &
    PIDS+=($!)
    KAVOFE_PID=$!
    wait_for find_window 'KAVOfe - Version 1.03j' || fail "the main window did not appear"
    MAIN=$(find_window 'KAVOfe - Version 1.03j' | head -1)
    xdotool windowfocus --sync "$MAIN"
    # Client-area geometry in twips, 15 to a pixel, the menu bar above it. (xwininfo, since
    # xdotool counts a window manager's frame offset twice.)
    local info
    info=$(xwininfo -id "$MAIN")
    X=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    Y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    CLIENT_Y=$((Y + $(awk '/^ *Height:/ { print $2 }' <<<"$info") - 1890 / 15))
}
click_twips() { # left top width height, within the client area
    xdotool mousemove --sync $((X + ($1 + $3 / 2) / 15)) $((CLIENT_Y + ($2 + $4 / 2) / 15))
    xdotool click 1
}
# Left, top and width of the panel buttons within the frame at 4320,120.
declare -A BUTTON=([q]="120 240 1335" [1]="120 600 255" [2]="480 600 255" [3]="840 600 255"
    [4]="1200 600 255" [5]="120 960 255" [6]="480 960 255" [7]="840 960 255" [8]="1200 960 255"
    [9]="300 1320 255" [+]="660 1320 255" [-]="1040 1320 255")
click_button() {
    local left top width
    read -r left top width <<<"${BUTTON[$1]}"
    click_twips $((4320 + left)) $((120 + top)) "$width" 255
}
keys() { # a short pause lets each list refill before the next key
    local key
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.1
    done
}
