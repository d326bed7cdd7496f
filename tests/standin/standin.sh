#!/bin/sh
# Stands in for the outside player in the real-window runs: logs to KAVO_STANDIN_LOG its
# arguments and working directory, then becomes xev, whose window is titled SPCPLAY and which
# logs there every key and focus change it gets. pad.cmake pads it to the player's length with
# zero bytes, which the shell never runs: it is xev before it gets there.
exec >>"${KAVO_STANDIN_LOG:-/dev/null}"
echo "pid $$"
printf 'arg %s\n' "$0" "$@"
echo "cwd $(pwd)"
exec xev -name SPCPLAY -event keyboard -event focus -event structure
