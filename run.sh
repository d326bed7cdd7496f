#!/usr/bin/env bash
# Installs what the program needs, builds the program alone and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build ui x11 dosbox
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DKAVO_BUILD_TESTS=OFF -DKAVO_BENCH=OFF >/dev/null
cmake --build build/run -j "$(nproc)" --target kavofe
exec build/run/kavofe "$@"
