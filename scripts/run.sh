#!/usr/bin/env bash
# Starts svctune under Wine, from a fresh Debian machine: installs what is missing, builds,
# prepares a prefix that looks like a Windows XP machine (build/<preset>/run-prefix, kept between
# runs) and starts svctune.exe on the user's display. Without a display it runs on a private
# Xvfb, saves a screenshot, closes the window the normal way (so its shutdown runs) and says
# where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/bootstrap.sh
windows=$(scripts/windows-preset)
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" --target svctune svctune_remote Lamina Vellum

prefix=build/$windows/run-prefix
scripts/install-into-prefix.sh "$prefix" "build/$windows" >/dev/null

wine_reg() { scripts/wine-run --prefix "$prefix" reg "$@" >/dev/null 2>&1 || true; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  wine_reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f
  exec scripts/wine-run --prefix "$prefix" --host-display 'C:\svctune\svctune.exe'
fi

remote() { scripts/wine-run --prefix "$prefix" "$root/build/$windows/tests/e2e/svctune-remote.exe" "$@"; }
screenshot=$root/build/$windows/svctune-screenshot.png
width=1120
height=680

# A virtual desktop draws the window frames itself, so the screenshot shows the whole window.
wine_reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
wine_reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${width}x${height}" /f
scripts/wine-run --prefix "$prefix" --stop
scripts/wine-run --prefix "$prefix" 'C:\svctune\svctune.exe' &
program=$!
if ! remote wait-ready; then
  echo "run: svctune did not show its main window" >&2
  kill "$program" 2>/dev/null || true
  exit 1
fi
sleep 1
DISPLAY=$(scripts/wine-run --prefix "$prefix" --display) xwd -root -silent |
  /usr/bin/convert xwd:- -crop "${width}x${height}+0+0" +repage "$screenshot"
remote close
wait "$program" || true
scripts/wine-run --prefix "$prefix" --stop
echo "svctune ran on a private display; screenshot: $screenshot"
