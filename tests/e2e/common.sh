# shellcheck shell=bash
# Sourced by the real-window tests after they set ARTEFACT_PREFIX: their arguments, a scratch
# directory, the stand-in player's log, the processes to stop at exit, and polling helpers.
# Arguments: KAVOFE STANDIN ARTEFACT_DIR [openbox]
set -euo pipefail

KAVOFE=$1
STANDIN=$2
ARTEFACTS=$3
WM=${4:-}
: "${KAVO_TEST_DISPLAY:?is not set: run the tests through test.sh, which starts a private Xvfb}"
export DISPLAY=$KAVO_TEST_DISPLAY

mkdir -p "$ARTEFACTS"
TMP=$(mktemp -d)
LOG=$TMP/standin.log
INI=""
PIDS=()
cleanup() {
    local pid
    if [ -f "$LOG" ]; then
        cp "$LOG" "$ARTEFACTS/${ARTEFACT_PREFIX}standin${WM:+_$WM}.log"
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
    import -window root "$ARTEFACTS/${ARTEFACT_PREFIX}failure${WM:+_$WM}.png" 2>/dev/null || true
    [ -n "$INI" ] && [ -f "$INI" ] && sed 's/^/  settings: /' "$INI" >&2
    [ -f "$LOG" ] && sed 's/^/  stand-in: /' "$LOG" >&2
    exit 1
}
# Polls a command for up to five seconds.
wait_for() {
    local _
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
log_has() { grep -qxF -- "$1" "$LOG"; }
