# shellcheck shell=bash
# Sourced: start_xvfb FIRST LAST starts a private Xvfb on the first free display number in
# FIRST..LAST, waits until it answers, and sets XVFB_PID and XVFB_DISPLAY. It does not reset
# when its last client leaves: between two test processes it would refuse connections.
start_xvfb() {
    local n
    XVFB_PID="" XVFB_DISPLAY=""
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
            XVFB_PID=$!
            XVFB_DISPLAY=":$n"
            break
        fi
    done
    [ -n "$XVFB_DISPLAY" ] || { echo "no free X display number in $1..$2" >&2; return 1; }
    local _
    # A loaded machine can take seconds to bring it up.
    for _ in $(seq 300); do
        DISPLAY=$XVFB_DISPLAY xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb on $XVFB_DISPLAY did not answer" >&2
    return 1
}
