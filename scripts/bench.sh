#!/usr/bin/env bash
# Prints the benchmark figures of the main window under Wine (see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target svctune_bench
prefix=build/win32/bench-prefix
scripts/test-session.sh start "$prefix"
status=0
scripts/wine-run --prefix "$prefix" build/win32/bench/svctune_bench.exe || status=$?
scripts/test-session.sh stop "$prefix"
exit "$status"
