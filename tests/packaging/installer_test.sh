#!/usr/bin/env bash
# setup.exe in a fresh prefix of its own: a silent install (files, registered libraries,
# shortcut, uninstall entry), the installed program with both control libraries at work, an
# upgrade that keeps the user's TQSE.ini, and a silent uninstall that takes everything back
# but the user's saved choices.
#
# Usage: installer_test.sh WINE_RUN PREFIX SETUP_EXE SVCTUNE_REMOTE_EXE
set -euo pipefail
wine_run=$1
prefix=$2
setup=$3
remote=$4

run() { "$wine_run" --prefix "$prefix" "$@"; }
windows_path() { echo "Z:${1//\//\\}"; }
fail() {
  echo "installer_test: $*" >&2
  exit 1
}
has_key() { run reg query "$1" >/dev/null 2>&1; }
# reg prints in the ANSI code page, 936 in the prefix.
reg_query() { run reg query "$1" | iconv -f GBK -t UTF-8 | tr -d '\r'; }
remote() { run "$(windows_path "$remote")" "$@"; }

folder="$prefix/drive_c/Program Files/svctune"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\svctune'
saved_choice='HKLM\SOFTWARE\ApptqxzzaChek\tqxzzaChek'

user_presets=$(mktemp)
run --stop
rm -rf "$prefix"
trap 'run --stop; rm -f "$user_presets"' EXIT
run --start
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

# Install.
run "$(windows_path "$setup")" /S || fail "setup.exe /S failed"
for file in svctune.exe TQSE.ini tqpass.txt Lamina.dll Vellum.dll uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
shortcut=$(find "$prefix/drive_c" -path '*/Start Menu/Programs/*' -name 'Trevane*.lnk')
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
for progid in Lamina.Button Vellum.CorvidForm; do
  has_key "HKCR\\$progid" || fail "$progid is not registered"
done
entry=$(reg_query "$uninstall_key")
for value in DisplayName Publisher DisplayIcon UninstallString EstimatedSize; do
  grep -q "^ *$value " <<<"$entry" || fail "the uninstall entry has no $value"
done
grep -q '^ *DisplayVersion *REG_SZ *1\.1\.0\.0$' <<<"$entry" ||
  fail "the uninstall entry's DisplayVersion is not 1.1.0.0"

# The installed program: the gate opens with its skin and flat buttons, then it closes.
run 'C:\Program Files\svctune\svctune.exe' &
program=$!
remote wait-ready || fail "svctune did not show its main window"
remote check-gate || fail "the access gate did not work with the installed libraries"
remote close || fail "svctune did not close"
wait "$program" || fail "svctune ended with an error"
has_key "$saved_choice" || fail "svctune saved no choices"

# Upgrade over the installed copy: its files come back, the user's preset list stays.
printf '1\r\nmine\r\n0\r\n' >"$user_presets"
cp "$user_presets" "$folder/TQSE.ini"
rm "$folder/tqpass.txt"
run "$(windows_path "$setup")" /S || fail "the upgrade failed"
[ -f "$folder/tqpass.txt" ] || fail "the upgrade did not install its files"
cmp -s "$user_presets" "$folder/TQSE.ini" || fail "the upgrade replaced the user's TQSE.ini"

# Uninstall. The uninstaller works from a copy of itself, so the call returns at once.
run 'C:\Program Files\svctune\uninstall.exe' /S || fail "uninstall.exe /S failed"
for _ in $(seq 60); do
  if [ ! -d "$folder" ] && ! has_key "$uninstall_key"; then
    break
  fi
  sleep 1
done
[ ! -d "$folder" ] || fail "left behind: $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left behind"
has_key "$uninstall_key" && fail "the uninstall entry is left behind"
left=$(reg_query HKCR | grep -E '^HKEY_CLASSES_ROOT\\(Lamina|Vellum)\.' || true)
[ -z "$left" ] || fail "left behind: $left"
has_key "$saved_choice" || fail "the uninstall removed the user's saved choices"
echo "installer_test: setup.exe installs, upgrades and uninstalls"
