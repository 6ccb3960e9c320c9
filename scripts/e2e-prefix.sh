#!/usr/bin/env bash
# Prepares a fresh prefix with svctune installed for the end-to-end tests (ctest fixtures
# e2e_prefix and win10_prefix), or stops it. "--services win10" makes a Windows 10 machine
# (scripts/install-into-prefix.sh) whose keys of the services marked P in
# data/win10-services.txt deny KEY_SET_VALUE to administrators, as Windows 10 protects some.
# Wine keeps a key's security only while the prefix's wineserver runs, so a resident
# "protect-keys /hold" keeps the server (and its service manager) up until "stop".
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
    if [ "$services" = win10 ]; then
      protect_keys=$build/tests/protect-keys.exe
      setsid "$scripts/wine-run" --prefix "$prefix" "$protect_keys" /hold \
        </dev/null >/dev/null 2>&1 &
    fi
    "$scripts/wine-run" --prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f >/dev/null
    if [ "$services" = win10 ]; then
      mapfile -t keys < <(awk -F'|' '!/^#/ && $4 ~ /P/ {
        print "SYSTEM\\CurrentControlSet\\Services\\" $1 }' "$scripts/../data/win10-services.txt")
      "$scripts/wine-run" --prefix "$prefix" "$protect_keys" "${keys[@]}"
    fi
    ;;
  stop)
    "$scripts/wine-run" --prefix "$prefix" --stop
    ;;
  *)
    usage
    ;;
esac
