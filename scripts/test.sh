#!/usr/bin/env bash
# Everything the tests need, from a fresh Debian machine: install what is missing, build the
# native preset and both Windows presets (and with win32 the setup.exe users get), run the
# native suite, the win64 suite under 64-bit Wine, and the win32 suite, which holds the tests
# of the shipped files: natively where the kernel runs 32-bit programs, under user-mode
# emulation where it does not (scripts/i386-programs). Fails when a build or a test fails, or
# when no test ran. SVCTUNE_I386=native|emulated|none forces the way 32-bit programs run.
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
part_started=$SECONDS
took() {
  echo "test: $1 took $((SECONDS - part_started)) s"
  part_started=$SECONDS
}

scripts/bootstrap.sh
# Decided once for every script and test below.
SVCTUNE_I386=$(scripts/i386-programs)
export SVCTUNE_I386
if [ "$SVCTUNE_I386" = emulated ]; then
  scripts/i386-emulation prepare
fi
took "preparing ($SVCTUNE_I386 32-bit programs)"

cmake --preset native
cmake --build --preset native
ctest --preset native
took "the native build and suite"

# What ships is built on every machine, whether or not it can run it.
cmake --preset win32
cmake --build --preset win32 --target all setup
took "the win32 build with setup.exe"

cmake --preset win64
cmake --build --preset win64
took "the win64 build"

status=0
ctest --preset win64 || status=$?
scripts/wine-run --prefix build/win64/wineprefix --stop
took "the win64 suite (64-bit Wine)"

case "$SVCTUNE_I386" in
  native)
    ctest --preset win32 || status=$?
    took "the win32 suite (32-bit Wine)"
    ;;
  emulated)
    echo "test: this kernel runs no 32-bit programs; the win32 suite runs under emulation"
    ctest --preset win32 || status=$?
    took "the win32 suite (32-bit Wine under emulation)"
    ;;
  none)
    echo "test: this machine runs no 32-bit programs, natively or under emulation: the win32" \
      "suite does not run, apart from the tests that need no Wine; the shipped 32-bit files" \
      "are built and their imports checked, but they are not started"
    ctest --preset win32 --label-regex without_wine || status=$?
    took "the win32 tests without Wine"
    ;;
esac
scripts/wine-run --prefix build/win32/wineprefix --stop

echo "test: everything took $((SECONDS - started)) s"
exit "$status"
