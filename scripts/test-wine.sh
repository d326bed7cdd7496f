#!/usr/bin/env bash
# Cross-builds the Windows backends, the program and their tests with MinGW-w64 and runs them
# under Wine, in a throw-away Wine prefix with Wine's null display driver; then runs the real
# program on a private Xvfb with Wine's X11 driver, also with a stand-in DOSBox. All of it for
# 64-bit Windows, then the tests and the main window's run for 32-bit Windows under 32-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh wine wine32

WORK=$(mktemp -d)
# No desktop menus either: the menu builder Wine starts outlives the tests' processes.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# run ARCH TOOLCHAIN BUILD_DIR E2E_SCRIPT...
run() {
    export WINEPREFIX=$WORK/$1 WINEARCH=$1
    # The prefix is made and the wineserver kept warm before the build, so that ctest is never
    # the one to start Wine: tests that start it themselves are slow and can hang on its pipes.
    (
        wineboot -i
        wineserver -w
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
        wineserver -w
    ) >"$WORK/wineboot.log" 2>&1 </dev/null || { cat "$WORK/wineboot.log"; exit 1; }
    # Nothing of Wine's may keep our output open: a caller reading it would wait for ever.
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null

    cmake -S . -B "$3" -DCMAKE_TOOLCHAIN_FILE="$2" -DCMAKE_BUILD_TYPE=Debug -DKAVO_WERROR=ON \
        >/dev/null
    cmake --build "$3" -j "$(nproc)"
    (cd "$3" && ctest --output-on-failure -j "$(nproc)" --timeout 120 </dev/null)

    # The real program with real windows and keys: Wine's X11 driver on a private Xvfb.
    wineserver -k 2>/dev/null || true
    scripts/deps.sh x11 display dostest
    for script in "${@:4}"; do
        timeout 300 bash "tests/e2e/$script" "$3" </dev/null
    done
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}

run win64 cmake/mingw-w64.cmake "${WINE_BUILD_DIR:-build/wine}" win32_e2e.sh \
    win32_dosbox_e2e.sh
run win32 cmake/mingw-w64-i686.cmake "${WINE32_BUILD_DIR:-build/wine32}" win32_e2e.sh
