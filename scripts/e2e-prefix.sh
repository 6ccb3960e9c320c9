#!/usr/bin/env bash
# Prepares a fresh prefix with svctune installed for the end-to-end tests (ctest fixtures
# e2e_prefix and win10_prefix), or stops it. "--services win10" makes a Windows 10 machine
# (scripts/install-into-prefix.sh). The prefix's server is stopped at the end: the test
# programs start their own. Under emulation each program runs in a namespace of its own, and a
# server of another namespace could not reach the test programs' processes (reading another
# process's memory, as the tests do to read a list's cells, would be refused). Wine keeps a key's
# security only while the server runs, so the Windows 10 test program protects the keys of the
# services marked P in data/win10-services.txt itself (ProtectedWindows10Keys).
set -euo pipefail
usage() {
  echo "usage: e2e-prefix.sh start PREFIX BUILD_DIR [--services xp|win10] | stop PREFIX" >&2
  exit 2
}
[ $# -ge 2 ] || usage
action=$1
prefix=$2
build=${3:-}
scripts=$(cd "$(dirname "$0")" && pwd)
case "$action" in
  start)
    [ -n "$build" ] || usage
    services=xp
    if [ $# -gt 3 ]; then
      [ $# -eq 5 ] && [ "$4" = --services ] || usage
      services=$5
    fi
    "$scripts/wine-run" --prefix "$prefix" --stop
    rm -rf "$prefix"
    "$scripts/install-into-prefix.sh" "$prefix" "$build" --services "$services" >/dev/null
    "$scripts/wine-run" --prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f >/dev/null
    "$scripts/wine-run" --prefix "$prefix" --stop
    ;;
  stop)
    "$scripts/wine-run" --prefix "$prefix" --stop
    ;;
  *)
    usage
    ;;
esac
