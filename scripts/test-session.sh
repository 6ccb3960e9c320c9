#!/usr/bin/env bash
# Starts or stops the Wine session the Windows tests share (ctest fixture wine_session).
# Windows of the tests are not handed to a window manager: on a bare Xvfb a managed window
# takes seconds to go away, an unmanaged one does not.
set -euo pipefail
action=$1
prefix=$2
wine_run="$(dirname "$0")/wine-run"
case "$action" in
  start)
    "$wine_run" --prefix "$prefix" --start
    "$wine_run" --prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >/dev/null
    ;;
  stop)
    "$wine_run" --prefix "$prefix" --stop
    ;;
  *)
    echo "usage: test-session.sh start|stop PREFIX" >&2
    exit 2
    ;;
esac
