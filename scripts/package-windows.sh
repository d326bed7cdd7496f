#!/usr/bin/env bash
# Cross-builds kavofe.exe for 64-bit and 32-bit Windows (Release) and writes
# dist/kavofe-<version>-win64.zip and dist/kavofe-<version>-win32.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh wine
mkdir -p dist
for arch in x86_64 i686; do
    toolchain=cmake/mingw-w64.cmake
    [ "$arch" = i686 ] && toolchain=cmake/mingw-w64-i686.cmake
    build=build/release-$arch
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=Release \
        -DKAVO_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j "$(nproc)" --target kavofe_zip
    cp "$build"/kavofe-*.zip dist/
done
ls -l dist/*.zip
