#!/usr/bin/env bash
# Builds the benchmarks in release form, runs them (under a private Xvfb for the X figures)
# and prints the table of ratios against the bare baselines measured in the same run.
# Usage: scripts/bench.sh [TABLE_FILE]
# BENCH_MIN_TIME: seconds per benchmark (default 1); BENCH_REPETITIONS: median of (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build ui x11 testlibs display

BUILD=${BENCH_BUILD_DIR:-build/bench}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKAVO_BENCH=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target kavo_bench >/dev/null

XVFB_PID=""
SCRATCH=$(mktemp -d)
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$SCRATCH"
}
trap cleanup EXIT
if [ -z "${KAVO_BENCH_DISPLAY:-}" ]; then
    source scripts/xvfb.sh
    start_xvfb 160 200
    export KAVO_BENCH_DISPLAY=$XVFB_DISPLAY
fi
# The program under measurement must not see the real user's settings or session.
export HOME=$SCRATCH XDG_CONFIG_HOME=$SCRATCH/.config XDG_RUNTIME_DIR=$SCRATCH/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY

# The median of several repetitions keeps a passing load on the machine out of the figures.
"$BUILD/kavo_bench" --benchmark_min_time="${BENCH_MIN_TIME:-1}" --benchmark_color=false \
    --benchmark_repetitions="${BENCH_REPETITIONS:-5}" --benchmark_report_aggregates_only=true \
    >"$SCRATCH/out.txt" 2>"$SCRATCH/err.txt" || { cat "$SCRATCH/out.txt" "$SCRATCH/err.txt" >&2; exit 1; }
sed -n '/^Machine:/,$p' "$SCRATCH/out.txt" | tee "${1:-/dev/null}"
