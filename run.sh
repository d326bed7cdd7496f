#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build ui x11 dosbox
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DKAVO_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"
exec build/run/kavofe "$@"
