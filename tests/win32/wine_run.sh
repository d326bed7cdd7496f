#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest. Its output goes through a file: a process Wine
# starts on the way (the desktop, a service) can outlive the program and would hold ctest's pipe.
# With KAVO_FILE_SIZE_LIMIT set (bytes) the program's files are limited to that size, so that a
# write can fail part-way, as on a full disk (SIGXFSZ ignored: the write fails instead).
# Usage: wine_run.sh WINE PROGRAM [ARGUMENT...]
set -euo pipefail
out=$(mktemp) status=0
limit=${KAVO_FILE_SIZE_LIMIT:+$((KAVO_FILE_SIZE_LIMIT >> 10))}
(trap '' XFSZ && ulimit -f "${limit:-unlimited}" && exec "$@") >"$out" 2>&1 </dev/null || status=$?
cat "$out" && rm "$out" && exit "$status"
