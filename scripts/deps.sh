#!/usr/bin/env bash
# Installs the Debian packages a group of tasks needs, when any is missing.
# Usage: scripts/deps.sh GROUP...   (groups: build ui x11 wine tools)
set -euo pipefail

packages_for() {
    case "$1" in
    build) echo "cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev" ;;
    ui) echo "qt6-base-dev libgl1-mesa-dev" ;;
    x11) echo "xvfb xauth x11-utils xdotool libxtst-dev libx11-dev imagemagick openbox" ;;
    wine) echo "g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 googletest" ;;
    tools) echo "clang libclang-rt-14-dev clang-tidy cppcheck" ;;
    *) echo "unknown group: $1" >&2; return 1 ;;
    esac
}

missing=()
for group in "$@"; do
    for pkg in $(packages_for "$group"); do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
    done
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
