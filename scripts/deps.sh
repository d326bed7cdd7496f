#!/usr/bin/env bash
# Installs the Debian packages a group of tasks needs, when any is missing.
# Usage: scripts/deps.sh GROUP...
# The program needs build, ui, x11 and dosbox; the tests need the others as well.
set -euo pipefail

packages_for() {
    case "$1" in
    build) echo "cmake g++ make" ;;
    ui) echo "qt6-base-dev libgl1-mesa-dev" ;;
    x11) echo "libxtst-dev libx11-dev" ;;
    testlibs) echo "libgtest-dev libgmock-dev libbenchmark-dev" ;;
    display) echo "xvfb xauth x11-utils xdotool wmctrl imagemagick openbox" ;;
    dosbox) echo "dosbox" ;;
    dostest) echo "nasm x11-xkb-utils procps" ;;
    package) echo "dpkg-dev file" ;;
    wine) echo "g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 googletest file" ;;
    wine32) echo "wine32:i386" ;; # runs the 32-bit program
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
echo "Installing ${#missing[@]} packages: ${missing[*]}"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
# apt's own lines show the progress; a first install takes minutes.
set +e
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" |
    awk '/^(Get|Unpacking|Setting up)/ { printf "\r  %-70.70s", $0; fflush() } END { print "" }'
status=${PIPESTATUS[0]}
exit "$status"
