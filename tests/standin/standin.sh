#!/bin/sh
# Stands in for the outside player in the real-window runs: logs to KAVO_STANDIN_LOG its
# arguments and working directory, then becomes xev, whose window is titled SPCPLAY and which
# logs there every key and focus change it gets. pad.cmake pads it to the player's length; the
# shell never reads the padding, as exec comes first.
{
    echo "pid $$"
    printf 'arg %s\n' "$0" "$@"
    echo "cwd $(pwd)"
} >>"${KAVO_STANDIN_LOG:-/dev/null}"
exec xev -name SPCPLAY -event keyboard -event focus -event structure >>"${KAVO_STANDIN_LOG:-/dev/null}"
