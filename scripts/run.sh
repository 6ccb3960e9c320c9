#!/usr/bin/env bash
# Starts svctune (or, with "gallery", the control gallery) under Wine, from a fresh Debian
# machine: installs what is missing, builds, prepares a prefix that looks like a Windows XP
# machine (build/<preset>/run-prefix, kept between runs) with both control libraries registered,
# and starts the program on the user's display. Without a display it runs on a private Xvfb,
# saves a screenshot, closes the window the normal way (so its shutdown runs) and says where the
# screenshot is.
#
# Usage: scripts/run.sh [gallery]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
program=svctune
if [ "${1:-}" = gallery ]; then
  program=gallery
elif [ $# -gt 0 ]; then
  echo "usage: scripts/run.sh [gallery]" >&2
  exit 2
fi
scripts/bootstrap.sh
windows=$(scripts/windows-preset)
export SVCTUNE_WINE_ARCH=$windows
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" --target svctune svctune_remote Lamina Vellum gallery
prefix=build/$windows/run-prefix
scripts/install-into-prefix.sh "$prefix" "build/$windows" >/dev/null
if [ "$program" = gallery ]; then
  cp "build/$windows/samples/gallery/gallery.exe" "$prefix/drive_c/svctune/gallery.exe"
  cp -r "build/$windows/samples/gallery/art" "$prefix/drive_c/svctune/"
  exe='C:\svctune\gallery.exe'
  window_class=svctune.Gallery
  width=840
  height=700
else
  exe='C:\svctune\svctune.exe'
  window_class=svctune.formhome
  width=1120
  height=680
fi
wine_reg() { scripts/wine-run --prefix "$prefix" reg "$@" >/dev/null 2>&1 || true; }
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  wine_reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f
  exec scripts/wine-run --prefix "$prefix" --host-display "$exe"
fi
remote() { scripts/wine-run --prefix "$prefix" "$root/build/$windows/tests/e2e/svctune-remote.exe" "$@" "$window_class"; }
screenshot=$root/build/$windows/$program-screenshot.png
# A virtual desktop draws the window frames itself, so the screenshot shows the whole window.
wine_reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
wine_reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${width}x${height}" /f
scripts/wine-run --prefix "$prefix" --stop
scripts/wine-run --prefix "$prefix" "$exe" &
started=$!
if ! remote wait-ready; then
  echo "run: $program did not show its main window" >&2
  kill "$started" 2>/dev/null || true
  exit 1
fi
sleep 1
DISPLAY=$(scripts/wine-run --prefix "$prefix" --display) xwd -root -silent |
  /usr/bin/convert xwd:- -crop "${width}x${height}+0+0" +repage "$screenshot"
remote close
wait "$started" || true
scripts/wine-run --prefix "$prefix" --stop
echo "$program ran on a private display; screenshot: $screenshot"
