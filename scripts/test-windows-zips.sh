#!/usr/bin/env bash
# Builds both Windows zips as a user would (scripts/package-windows.sh) and checks each: the exe
# and README.txt, a GUI executable of the right width that needs no DLL but Windows' own.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
scripts/package-windows.sh >/dev/null
version=$(sed -n 's/^project(kavofe VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "windows zips: $*" >&2; exit 1; }
for pair in "win64 x86-64 PE32+ x86_64" "win32 80386 PE32 i686"; do
    read -r name machine format triplet <<<"$pair"
    zip=dist/kavofe-$version-$name.zip
    [ -f "$zip" ] || fail "$zip was not made"
    mkdir -p "$WORK/$name"
    (cd "$WORK/$name" && cmake -E tar xf "$OLDPWD/$zip")
    [ "$(cd "$WORK/$name" && ls | tr '\n' ' ')" = "README.txt kavofe.exe " ] || fail "$zip holds $(ls "$WORK/$name")"
    info=$(file "$WORK/$name/kavofe.exe")
    [[ "$info" == *"$format executable (GUI)"*"$machine"* ]] || fail "$name: $info"
    dlls=$("$triplet-w64-mingw32-objdump" -p "$WORK/$name/kavofe.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | \
            advapi32.dll | msvcrt.dll | ole32.dll | shlwapi.dll | uxtheme.dll | version.dll) ;;
        *) fail "$name needs $dll, which Windows does not bring" ;;
        esac
    done
done
echo "windows zips: both ok ($((SECONDS - start)) s)"
