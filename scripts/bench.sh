#!/usr/bin/env bash
# Prints the benchmark figures under Wine (see README.md): those of the main window in a prefix
# of its own, then those of the window "全部服务" in a prefix holding the Windows 10 services.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
windows=$(scripts/windows-preset)
export SVCTUNE_WINE_ARCH=$windows
build=build/$windows
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" --target svctune_bench svctune Lamina Vellum svctune_strings
prefix=$build/bench-prefix
scripts/test-session.sh start "$prefix"
status=0
scripts/wine-run --prefix "$prefix" "$build/bench/svctune_bench.exe" || status=$?
scripts/test-session.sh stop "$prefix"

services_prefix=$build/bench-win10-prefix
scripts/wine-run --prefix "$services_prefix" --stop
rm -rf "$services_prefix"
scripts/install-into-prefix.sh "$services_prefix" "$build" --services win10 >/dev/null
scripts/test-session.sh start "$services_prefix"
scripts/wine-run --prefix "$services_prefix" "$build/bench/svctune_bench.exe" /services ||
  status=$?
scripts/test-session.sh stop "$services_prefix"
exit "$status"
