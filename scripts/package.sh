#!/usr/bin/env bash
# Builds setup.exe, svctune's installer, from a fresh Debian machine and says where it is: the
# 32-bit release binaries of the win32 build with the control gallery, and the 64-bit control
# libraries of the win64 build for 64-bit Windows. Building needs no 32-bit programs to run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  echo "usage: scripts/package.sh" >&2
  exit 2
fi
scripts/bootstrap.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target setup
echo "setup.exe: $(pwd)/build/win32/setup.exe"
