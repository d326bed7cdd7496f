# shellcheck shell=bash
# Sourced by the real-window tests: start_openbox starts openbox on $DISPLAY and returns once
# it manages new windows. Needs the caller's wait_for, fail and PIDS (stopped at exit).

root_item() { xprop -root "$1" 2>/dev/null | sed -n 's/^[^=]*= \([0-9]*\).*/\1/p'; }

openbox_gone() {
    local pid
    pid=$(root_item _OPENBOX_PID)
    [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null
}

# A window of that class shown in a frame of the manager's.
framed() {
    xdotool search --onlyvisible --classname "$1" | head -1 |
        xargs -r -I{} xprop -id {} _NET_FRAME_EXTENTS | grep -q =
}

openbox_up() {
    [ "$(root_item _OPENBOX_PID)" = "$OPENBOX_PID" ] &&
        [[ "$(xprop -root _NET_CLIENT_LIST)" != *"not found"* ]]
}

start_openbox() {
    # Leftovers of an earlier manager must not be taken for this one's.
    wait_for openbox_gone || fail "another openbox still manages the display"
    xprop -root -remove _NET_CLIENT_LIST
    openbox --sm-disable >/dev/null 2>&1 &
    PIDS+=($!)
    OPENBOX_PID=$!
    wait_for openbox_up || fail "openbox did not start"
    # It announces itself before its start-up is over and loses windows mapped meanwhile:
    # wait until it frames one.
    local attempt probe ok=0
    for attempt in $(seq 10); do
        xmessage -name kavo-probe -timeout 10 "probe $attempt" >/dev/null 2>&1 &
        probe=$!
        for _ in $(seq 20); do
            framed kavo-probe && ok=1 && break
            sleep 0.05
        done
        kill "$probe" 2>/dev/null || true
        wait "$probe" 2>/dev/null || true
        [ "$ok" = 1 ] && break
    done
    [ "$ok" = 1 ] || fail "openbox does not manage new windows"
    wait_for bash -c '! xdotool search --onlyvisible --classname kavo-probe'
}
