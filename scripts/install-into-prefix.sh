#!/usr/bin/env bash
# Puts svctune into a Wine prefix the way it is installed on a machine:
#   - the 56 services as full service entries of Windows XP SP3 (data/xp-services.reg), for the
#     keys that are missing only, so earlier tuning in the prefix is kept; the prefix is
#     restarted after the import so that its service manager knows them;
#   - svctune.exe with TQSE.ini and tqpass.txt beside it in C:\svctune (an existing TQSE.ini
#     holds the user's preset list and is kept);
#   - Lamina.dll and Vellum.dll registered with regsvr32.
#
# Usage: install-into-prefix.sh PREFIX BUILD_DIR
set -euo pipefail
prefix=$1
build=$2
root=$(cd "$(dirname "$0")/.." && pwd)
run() { "$root/scripts/wine-run" --prefix "$prefix" "$@"; }

run --start
folder="$prefix/drive_c/svctune"
mkdir -p "$folder"

# Service keys: a new prefix gets all of them; later runs import only the keys that are
# missing, so the prefix keeps its tuning.
exported=$(mktemp)
missing=$(mktemp)
trap 'rm -f "$exported" "$missing"' EXIT
run reg export 'HKLM\SYSTEM\CurrentControlSet\Services' 'Z:'"${exported//\//\\}" /y >/dev/null 2>&1 || true
present=$(iconv -f UTF-16LE -t UTF-8 "$exported" 2>/dev/null | tr -d '\r' |
  sed -n 's/^\[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\\([^\\]*\)\]$/\1/p' |
  tr '[:upper:]' '[:lower:]' | sort -u)
awk -v present="$present" '
  BEGIN { n = split(present, names, "\n"); for (i = 1; i <= n; i++) have[names[i]] = 1 }
  /^\[/ { key = $0; sub(/^.*\\/, "", key); sub(/\]\r?$/, "", key); keep = !(tolower(key) in have) }
  /^REGEDIT4/ { print; next }
  keep { print }
' "$root/data/xp-services.reg" >"$missing"
seeded="$prefix/.svctune-services"
[ -f "$seeded" ] || cp "$root/data/xp-services.reg" "$missing"
if grep -q '^\[' "$missing"; then
  cp "$missing" "$folder/services.reg"
  run regedit /S 'C:\svctune\services.reg'
  rm -f "$folder/services.reg"
  # The service manager reads the service entries when it starts: restart the prefix so
  # that it knows the imported services.
  run --stop
  run --start
fi
touch "$seeded"

cp "$build/app/svctune.exe" "$folder/"
cp "$root/data/tqpass.txt" "$folder/"
[ -f "$folder/TQSE.ini" ] || cp "$root/data/TQSE.ini" "$folder/"
for library in lamina/win/Lamina.dll vellum/win/Vellum.dll; do
  cp "$build/$library" "$folder/"
  run regsvr32 /s "C:\\svctune\\$(basename "$library")"
done
echo "$folder"
