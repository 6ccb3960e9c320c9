#!/usr/bin/env bash
# Everything the tests need, from a fresh Debian machine: install what is missing, build both
# presets, run every test of both. Fails when a test fails or when no test ran.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The Windows build this machine runs under Wine (win32, or win64 where no 32-bit program runs).
windows=$(scripts/windows-preset)
cmake --preset "$windows"
cmake --build --preset "$windows"
status=0
ctest --preset "$windows" || status=$?
scripts/wine-run --prefix "build/$windows/wineprefix" --stop
exit "$status"
