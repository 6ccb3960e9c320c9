#!/usr/bin/env bash
# Builds setup.exe, svctune's installer, from a fresh Debian machine and says where it is.
#   scripts/package.sh          the shipped 32-bit installer, from the win32 build
#   scripts/package.sh win64    a 64-bit installer of the win64 build, the one a machine that
#                               runs no 32-bit programs can try under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-win32}
case "$preset" in
  win32 | win64) ;;
  *)
    echo "usage: scripts/package.sh [win32|win64]" >&2
    exit 2
    ;;
esac
scripts/bootstrap.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target setup
echo "setup.exe: $(pwd)/build/$preset/setup.exe"
