#!/usr/bin/env bash
# The shipped binaries load on Windows XP: every import comes from a system DLL and is in the
# reviewed list (packaging/xp-imports.txt), the subsystem version is one XP runs (5.01, or
# 5.02 for XP x64), the MinGW runtime is linked in rather than needed as a DLL, and a manifest
# names the binary's own processor. Wine exports functions XP lacks, so only the import
# tables can tell; this reads them with the toolchain's objdump and needs no Wine.
#
# Usage: xp_imports_test.sh REVIEWED_LIST BINARY...
set -euo pipefail
list=$1
shift

failures=0
fail() {
  echo "xp_imports_test: $1: $2" >&2
  failures=$((failures + 1))
}

declare -A reviewed=() system_dlls=()
while read -r dll function tag _; do
  case "$dll" in '' | '#'*) continue ;; esac
  dll=${dll,,}
  reviewed["$dll!$function"]=${tag:-any}
  system_dlls["$dll"]=1
done <"$list"

# The machine field of the PE header: 014c for i386, 8664 for x86-64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -c -j"$header" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 1
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

check() {
  local binary=$1 name machine objdump highest processor dump
  name=$(basename "$binary")
  [ -f "$binary" ] || { fail "$name" "missing ($binary)"; return; }
  machine=$(pe_machine "$binary") || { fail "$name" "not a PE file"; return; }
  case "$machine" in
    014c) objdump=i686-w64-mingw32-objdump highest=501 processor=x86 ;;
    8664) objdump=x86_64-w64-mingw32-objdump highest=502 processor=amd64 ;;
    *) fail "$name" "machine $machine is neither i386 nor x86-64"; return ;;
  esac
  name="$name ($processor)"
  dump=$("$objdump" -p "$binary") || { fail "$name" "$objdump cannot read it"; return; }

  local major minor
  major=$(awk '$1 == "MajorSubsystemVersion" { print $2 }' <<<"$dump")
  minor=$(awk '$1 == "MinorSubsystemVersion" { print $2 }' <<<"$dump")
  if [ -z "$major" ] || [ $((major * 100 + minor)) -gt "$highest" ]; then
    fail "$name" "subsystem version $major.$minor is above what Windows XP runs ($((highest / 100)).0$((highest % 100)))"
  fi

  # "DLL function" for every import, "DLL #ordinal" for imports by ordinal.
  local imports
  imports=$(awk '
    /^The Import Tables/ { inside = 1; next }
    /^The .* Tables?/ || /^PE File Base Relocations/ { inside = 0 }
    !inside { next }
    /DLL Name:/ { dll = $3; print dll; next }
    dll != "" && /^\t[0-9a-f]+\t/ { print dll, ($3 == "<none>" ? "#" $2 : $3) }
  ' <<<"$dump")
  [ -n "$imports" ] || fail "$name" "no import table found"

  local wants_cc6=0 dll function tag
  while read -r dll function; do
    local key=${dll,,}
    if [[ $key =~ ^(libgcc|libstdc\+\+|libwinpthread|libssp|libatomic|libgomp|libquadmath) ]]; then
      fail "$name" "needs the MinGW runtime DLL $dll, which is not linked in"
      continue
    fi
    if [ -z "${system_dlls[$key]:-}" ]; then
      [ -n "$function" ] || fail "$name" "imports from $dll, which is no Windows system DLL"
      continue
    fi
    [ -n "$function" ] || continue
    tag=${reviewed["$key!$function"]:-}
    if [ -z "$tag" ]; then
      fail "$name" "imports $dll!$function, which is not in the reviewed list: check that Windows XP exports it"
    elif [ "$tag" = x64 ] && [ "$processor" = x86 ]; then
      fail "$name" "imports $dll!$function, which only 64-bit Windows exports"
    elif [ "$tag" = cc6 ]; then
      wants_cc6=1
    fi
  done <<<"$imports"

  local manifest_processors
  manifest_processors=$(grep -a -o 'processorArchitecture="[^"]*"' "$binary" | cut -d'"' -f2 |
    sort -u || true)
  local declared
  for declared in $manifest_processors; do
    [ "${declared,,}" = "$processor" ] ||
      fail "$name" "its manifest names the processor $declared, not $processor"
  done
  if [ "$wants_cc6" = 1 ] && ! grep -a -q 'name="Microsoft.Windows.Common-Controls" version="6' "$binary"; then
    fail "$name" "imports functions of Common Controls 6 by name without a manifest asking for version 6"
  fi
}

for binary in "$@"; do
  check "$binary"
done
if [ "$failures" -gt 0 ]; then
  echo "xp_imports_test: $failures problem(s) in $# binaries" >&2
  exit 1
fi
echo "xp_imports_test: $# binaries import only what Windows XP exports"
