#!/usr/bin/env bash
# Builds everything and runs every test: native (with real-window tests under a private Xvfb)
# and, where present, the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build ui x11 dosbox testlibs display dostest

BUILD=${BUILD_DIR:-build/test}
JOBS=$(nproc)
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKAVO_WERROR=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"

# Real-window tests get a display of their own; it is stopped on every exit.
XVFB_PID=""
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true; }
trap cleanup EXIT
source scripts/xvfb.sh
start_xvfb 90 140
export KAVO_TEST_DISPLAY=$XVFB_DISPLAY

# No test may see the real user's settings or session.
TEST_HOME=$(mktemp -d)
export HOME=$TEST_HOME XDG_CONFIG_HOME=$TEST_HOME/.config
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen

(cd "$BUILD" && ctest --output-on-failure -j "$JOBS" --timeout 300)

for extra in scripts/test-*.sh; do
    [ -x "$extra" ] && "$extra"
done
rm -rf "$TEST_HOME"
