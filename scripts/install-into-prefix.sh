#!/usr/bin/env bash
# Puts svctune into a Wine prefix the way it is installed on a machine:
#   - svctune.exe with TQSE.ini and tqpass.txt beside it in C:\svctune (an existing TQSE.ini
#     holds the user's preset list and is kept);
#   - Lamina.dll and Vellum.dll registered with regsvr32;
#   - a set of services, for the keys that are missing only, so earlier tuning in the prefix is
#     kept; the prefix is restarted after the import so that its service manager knows them.
#     "xp" (the default): the 56 services as full service entries of Windows XP SP3
#     (data/xp-services.reg). "win10": the services of Windows 10 22H2
#     (data/win10-services.reg), with the prefix reporting Windows 10 and the string library
#     of their indirect texts (svctune_strings.dll, a test-support target of the Windows
#     builds) in system32. A prefix keeps the set it was first given.
#
# Usage: install-into-prefix.sh PREFIX BUILD_DIR [--services xp|win10]
set -euo pipefail
usage() {
  echo "usage: install-into-prefix.sh PREFIX BUILD_DIR [--services xp|win10]" >&2
  exit 2
}
[ $# -eq 2 ] || [ $# -eq 4 ] || usage
prefix=$1
build=$2
services=xp
if [ $# -eq 4 ]; then
  [ "$3" = --services ] || usage
  services=$4
fi
case "$services" in
  xp | win10) ;;
  *) usage ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
run() { "$root/scripts/wine-run" --prefix "$prefix" "$@"; }

# The set a prefix was seeded with (an empty mark is from before there was a choice: xp).
seeded="$prefix/.svctune-services"
if [ -f "$seeded" ]; then
  held=$(cat "$seeded")
  if [ "${held:-xp}" != "$services" ]; then
    echo "install-into-prefix: $prefix holds the ${held:-xp} services; make a new prefix" \
      "for the $services set" >&2
    exit 1
  fi
fi

run --start
folder="$prefix/drive_c/svctune"
mkdir -p "$folder"

# Programs run before the services are imported: with many automatic services (the Windows 10
# set) every start of the prefix's service manager afterwards takes half a minute under Wine.
cp "$build/app/svctune.exe" "$folder/"
cp "$root/data/tqpass.txt" "$folder/"
[ -f "$folder/TQSE.ini" ] || cp "$root/data/TQSE.ini" "$folder/"
for library in lamina/win/Lamina.dll vellum/win/Vellum.dll; do
  cp "$build/$library" "$folder/"
  run regsvr32 /s "C:\\svctune\\$(basename "$library")"
done

if [ "$services" = win10 ]; then
  # winecfg writes the version values Windows keeps under HKLM\Software\Microsoft\Windows
  # NT\CurrentVersion and drops the XP setting scripts/wine-run made in HKCU\Software\Wine.
  run winecfg -v win10 >/dev/null
  cp "$build/tests/svctune_strings.dll" "$prefix/drive_c/windows/system32/"
fi

# Service keys: a new prefix gets all of them; later runs import only the services whose keys
# are missing, subkeys included, so the prefix keeps its tuning.
exported=$(mktemp)
missing=$(mktemp)
trap 'rm -f "$exported" "$missing"' EXIT
run reg export 'HKLM\SYSTEM\CurrentControlSet\Services' 'Z:'"${exported//\//\\}" /y >/dev/null 2>&1 || true
present=$(iconv -f UTF-16LE -t UTF-8 "$exported" 2>/dev/null | tr -d '\r' |
  sed -n 's/^\[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\\([^\\]*\)\]$/\1/p' |
  tr '[:upper:]' '[:lower:]' | sort -u)
awk -v present="$present" '
  BEGIN { n = split(present, names, "\n"); for (i = 1; i <= n; i++) have[names[i]] = 1 }
  /^\[/ {
    key = $0; sub(/^\[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\/, "", key)
    sub(/[]\\].*$/, "", key); keep = !(tolower(key) in have)
  }
  /^REGEDIT4/ { print; next }
  keep { print }
' "$root/data/$services-services.reg" >"$missing"
[ -f "$seeded" ] || cp "$root/data/$services-services.reg" "$missing"
if grep -q '^\[' "$missing"; then
  cp "$missing" "$folder/services.reg"
  run regedit /S 'C:\svctune\services.reg'
  rm -f "$folder/services.reg"
  # The service manager reads the service entries when it starts: restart the prefix so
  # that it knows the imported services.
  run --stop
  run --start
fi
echo "$services" >"$seeded"
echo "$folder"
