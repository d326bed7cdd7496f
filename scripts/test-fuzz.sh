#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on top of the seed
# corpus in fuzz/corpus (which is only read). FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh tools
source scripts/sanitizers/env.sh
start=$SECONDS

BUILD=${FUZZ_BUILD_DIR:-build/fuzz}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-15}
cmake -S . -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKAVO_FUZZ=ON -DKAVO_BUILD_UI=OFF -DKAVO_BUILD_TESTS=OFF -DKAVO_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target kavo_fuzz

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failed=()
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    if [ ! -x "$BUILD/$target" ]; then
        echo "fuzz: $target is not built" >&2
        failed+=("$target")
        continue
    fi
    mkdir -p "$WORK/$target"
    echo "fuzz: $target for ${SECONDS_PER_TARGET} s"
    if ! "$BUILD/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$WORK/$target-" "$WORK/$target" "$seeds" \
        >"$WORK/$target.log" 2>&1; then
        tail -n 40 "$WORK/$target.log" >&2
        for artifact in "$WORK/$target"-*; do
            [ -e "$artifact" ] || continue
            mkdir -p "$BUILD/artifacts"
            cp "$artifact" "$BUILD/artifacts/"
            echo "fuzz: input kept in $BUILD/artifacts/$(basename "$artifact")" >&2
        done
        failed+=("$target")
    else
        grep -E "stat::number_of_executed_units|cov:.*DONE" "$WORK/$target.log" | tail -n 2
    fi
done
# Every built target has seeds: a target without them would never run here.
for binary in "$BUILD"/fuzz_*; do
    [ -x "$binary" ] && [ -f "$binary" ] || continue
    [ -d "fuzz/corpus/$(basename "$binary")" ] || { echo "fuzz: no seeds for $binary" >&2; failed+=("$binary"); }
done
echo "fuzz pass: $((SECONDS - start)) s"
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
