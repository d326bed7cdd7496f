#!/usr/bin/env bash
# Static analysis of the program's own code (src/) with clang-tidy (.clang-tidy) and cppcheck,
# using the compile commands of a configured build. Fails when either reports anything.
# Usage: scripts/lint.sh [FILE...]   (default: every source file of src/ in the build)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build ui x11 testlibs tools
BUILD=${LINT_BUILD_DIR:-build/lint}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKAVO_BENCH=OFF >/dev/null
# Qt's generated sources must exist for the files that include them.
cmake --build "$BUILD" -j "$(nproc)" --target kavo_ui_autogen kavo_x11_autogen >/dev/null 2>&1 || true

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$BUILD/compile_commands.json" |
        grep "^$PWD/src/" | sort -u)
fi

status=0
echo "clang-tidy: ${#files[@]} files"
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$BUILD" --quiet \
    >"$BUILD/clang-tidy.txt" 2>/dev/null || true
if grep -E "(warning|error):" "$BUILD/clang-tidy.txt"; then
    status=1
fi

echo "cppcheck"
printf '%s\n' "${files[@]}" >"$BUILD/cppcheck-files.txt"
if ! cppcheck --quiet --std=c++20 --language=c++ --enable=warning,performance,portability \
    --inline-suppr --error-exitcode=1 -I src --suppress=missingIncludeSystem \
    --suppress=unknownMacro --file-list="$BUILD/cppcheck-files.txt" -j "$(nproc)" 2>&1; then
    status=1
fi
[ $status -eq 0 ] && echo "lint: clean"
exit $status
