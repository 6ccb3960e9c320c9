#!/usr/bin/env bash
# Everything the tests need, from a fresh Debian machine: install what is missing, build both
# presets, run every test of both. Fails when a test fails or when no test ran.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset win32
cmake --build --preset win32
status=0
ctest --preset win32 || status=$?
scripts/wine-run --prefix build/win32/wineprefix --stop
exit "$status"
