#!/usr/bin/env bash
# Builds the native tests once more with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs them all. Leaks inside Qt and the X libraries are suppressed (scripts/sanitizers/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sanitizers/env.sh
start=$SECONDS

BUILD=${ASAN_BUILD_DIR:-build/asan}
JOBS=$(nproc)
FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# No -Werror here: the normal build already holds the warnings, and GCC warns differently
# under the sanitizers.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKAVO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# The test lists are read at build time, so the build already needs the sanitizer settings.
cmake --build "$BUILD" -j "$JOBS"
(cd "$BUILD" && ctest --output-on-failure -j "$JOBS" --timeout 600)
echo "sanitizer pass: $((SECONDS - start)) s"
