#!/usr/bin/env bash
# Prints the benchmark figures of the main window under Wine (see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
windows=$(scripts/windows-preset)
export SVCTUNE_WINE_ARCH=$windows
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" --target svctune_bench
prefix=build/$windows/bench-prefix
scripts/test-session.sh start "$prefix"
status=0
scripts/wine-run --prefix "$prefix" build/$windows/bench/svctune_bench.exe || status=$?
scripts/test-session.sh stop "$prefix"
exit "$status"
