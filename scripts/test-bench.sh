#!/usr/bin/env bash
# Builds the benchmarks and runs each once, briefly, so that they cannot rot. Their figures are
# not looked at: only a benchmark that cannot run at all fails this pass.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
BUILD=${BUILD_DIR:-build/test}
if ! grep -Eq "^KAVO_BENCH:BOOL=(ON|TRUE|YES|1)$" "$BUILD/CMakeCache.txt" 2>/dev/null; then
    echo "bench: benchmarks not configured in $BUILD (no Google Benchmark?); skipped"
    exit 0
fi
cmake --build "$BUILD" -j "$(nproc)" --target kavo_bench
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
export XDG_RUNTIME_DIR=$SCRATCH/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# KAVO_BENCH_BRIEF: one DOSBox start per way instead of several, each costing about a second.
KAVO_BENCH_BRIEF=1 KAVO_BENCH_DISPLAY=${KAVO_TEST_DISPLAY:-} "$BUILD/kavo_bench" \
    --benchmark_min_time=0.001 --benchmark_color=false >"$SCRATCH/out.txt" 2>"$SCRATCH/err.txt" || {
    cat "$SCRATCH/out.txt" "$SCRATCH/err.txt" >&2
    echo "bench: a benchmark failed to run" >&2
    exit 1
}
sed -n '/^| Measure/,$p' "$SCRATCH/out.txt"
echo "bench pass: $((SECONDS - start)) s"
