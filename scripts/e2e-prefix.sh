#!/usr/bin/env bash
# Prepares a fresh prefix with svctune installed for the end-to-end tests (ctest fixture
# e2e_prefix), or stops it.
set -euo pipefail
action=$1
prefix=$2
build=${3:-}
scripts=$(cd "$(dirname "$0")" && pwd)
case "$action" in
  start)
    "$scripts/wine-run" --prefix "$prefix" --stop
    rm -rf "$prefix"
    "$scripts/install-into-prefix.sh" "$prefix" "$build" >/dev/null
    "$scripts/wine-run" --prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f >/dev/null
    ;;
  stop)
    "$scripts/wine-run" --prefix "$prefix" --stop
    ;;
  *)
    echo "usage: e2e-prefix.sh start PREFIX BUILD_DIR | stop PREFIX" >&2
    exit 2
    ;;
esac
