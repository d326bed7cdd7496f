#!/usr/bin/env bash
# Runs a Windows test program under Wine with the size of its files limited, so that a write can
# fail part-way, as on a full disk. The program learns the limit from KAVO_FILE_SIZE_LIMIT.
# Usage: file_size_limit.sh WINE PROGRAM [ARGUMENT...]
set -euo pipefail
trap '' XFSZ # a write past the limit fails instead of ending the program
ulimit -f 16384
export KAVO_FILE_SIZE_LIMIT=$((16384 * 1024))
exec "$@"
