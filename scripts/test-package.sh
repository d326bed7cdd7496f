#!/usr/bin/env bash
# Builds the Debian package as a user would (cpack -G DEB) and checks what it holds and needs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
start=$SECONDS
BUILD=${PACKAGE_BUILD_DIR:-build/package}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKAVO_BUILD_TESTS=OFF -DKAVO_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target kavofe >/dev/null
(cd "$BUILD" && cpack -G DEB >/dev/null)
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
DEB=$BUILD/kavofe_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$DEB" ] || { echo "package: $DEB was not made" >&2; ls "$BUILD"/*.deb >&2 || true; exit 1; }

fail() { echo "package: $*" >&2; exit 1; }
files=$(dpkg-deb -c "$DEB" | awk '{ print $6 }' | grep -v '/$' | sort)
expected=$(printf '%s\n' ./usr/bin/kavofe ./usr/share/applications/kavofe.desktop \
    ./usr/share/icons/hicolor/48x48/apps/kavofe.png | sort)
[ "$files" = "$expected" ] || fail "contents: $(tr '\n' ' ' <<<"$files")"
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = kavofe ] || fail "name"
[ "$(field Version)" = "$VERSION" ] || fail "version $(field Version)"
[ "$(field Recommends)" = dosbox ] || fail "recommends: $(field Recommends)"
depends=$(field Depends)
for lib in libqt6widgets6 libx11-6 libxtst6 libstdc++6 libc6; do
    [[ " $depends," == *" $lib "* || " $depends," == *" $lib,"* ]] || fail "depends lacks $lib: $depends"
done
[[ "$(field Description)" == *SPCPLAY* ]] || fail "description"
echo "package: $DEB ok ($((SECONDS - start)) s)"
