#!/usr/bin/env bash
# setup.exe in a fresh prefix of its own.
#   win32 (Windows XP): a silent install (files, registered libraries, shortcut, uninstall
#   entry, no gallery), the installed program at work; with svctune running, neither an
#   upgrade nor an uninstall changes anything and both exit with 4; an upgrade that keeps the
#   user's TQSE.ini; the gallery component; with the gallery holding the control libraries an
#   upgrade stops with 5 and replaces nothing; a silent uninstall that takes everything back,
#   the files the program made beside itself included, but the user's saved choices.
#   win64 (Windows XP x64): both library sets installed and registered, each in its own
#   registry view and each creatable by a host of its own bitness; the uninstaller takes both
#   away.
#
# Usage: installer_test.sh WINE_RUN win32|win64 PREFIX SETUP_EXE SVCTUNE_REMOTE_EXE
set -euo pipefail
wine_run=$1
arch=$2
prefix=$3
setup=$4
remote=$5

run() { "$wine_run" --arch "$arch" --prefix "$prefix" "$@"; }
windows_path() { echo "Z:${1//\//\\}"; }
fail() {
  echo "installer_test ($arch): $*" >&2
  exit 1
}
# Whether a key is there. reg says 1 for a key that is not; anything else is Wine (or the
# emulation under it) failing to run reg at all, which is asked again rather than taken as an
# answer either way.
has_key() {
  local status output
  for _ in 1 2 3; do
    status=0
    output=$(run reg query "$@" 2>&1) || status=$?
    case "$status" in
      0) return 0 ;;
      1) return 1 ;;
    esac
    sleep 2
  done
  fail "reg query $* did not run (status $status): $output"
}
# reg prints in the ANSI code page, 936 in the prefix.
reg_query() { run reg query "$@" | iconv -f GBK -t UTF-8 | tr -d '\r'; }
remote() { run "$(windows_path "$remote")" "$@"; }
setup() { run "$(windows_path "$setup")" /S "$@"; }
# setup.exe's exit code, for the runs that must fail.
setup_status() {
  local status=0
  setup "$@" >/dev/null || status=$?
  echo "$status"
}

# setup.exe is a 32-bit program: on 64-bit Windows its folder and its uninstall entry are
# those of 32-bit programs.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\svctune'
if [ "$arch" = win64 ]; then
  folder="$prefix/drive_c/Program Files (x86)/svctune"
  windows_folder='C:\Program Files (x86)\svctune'
  entry_view=/reg:32
else
  folder="$prefix/drive_c/Program Files/svctune"
  windows_folder='C:\Program Files\svctune'
  entry_view=
fi
saved_choice='HKLM\SOFTWARE\ApptqxzzaChek\tqxzzaChek'
button_server='HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\InprocServer32'
form_server='HKCR\CLSID\{50605614-19FE-4AD3-90D9-2EA308709F2E}\InprocServer32'

scratch=$(mktemp -d)
run --stop
rm -rf "$prefix"
trap 'run --stop; rm -rf "$scratch"' EXIT
run --start
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

# The uninstaller normally works from a copy of itself and returns at once; run in its folder
# (_?=, unquoted and last, as NSIS wants it) it returns its own exit code.
uninstall_in_place() {
  printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' \
    "$windows_folder" "$windows_folder" >"$prefix/drive_c/uninstall-in-place.cmd"
  local status=0
  run cmd /c 'C:\uninstall-in-place.cmd' >/dev/null || status=$?
  echo "$status"
}
# Everything an install leaves that a change could touch.
snapshot() {
  (cd "$folder" && find . -type f -print0 | sort -z | xargs -0 md5sum)
  find "$prefix/drive_c" -path '*/Start Menu/Programs/*' -name 'Trevane*.lnk' | sort
  reg_query "$uninstall_key" $entry_view
  reg_query "$button_server"
}
# Waits until the silent uninstaller (working from its copy) has removed the folder and the
# uninstall entry.
wait_for_uninstall() {
  for _ in $(seq 120); do
    if [ ! -d "$folder" ] && ! has_key "$uninstall_key" $entry_view; then
      return 0
    fi
    sleep 1
  done
}

# Install.
setup || fail "setup.exe /S failed"
for file in svctune.exe TQSE.ini tqpass.txt Lamina.dll Vellum.dll uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
[ ! -e "$folder/gallery" ] || fail "a silent install without /GALLERY installed the gallery"
shortcut=$(find "$prefix/drive_c" -path '*/Start Menu/Programs/*' -name 'Trevane 系统*.lnk')
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
entry=$(reg_query "$uninstall_key" $entry_view)
for value in DisplayName Publisher DisplayIcon UninstallString EstimatedSize; do
  grep -q "^ *$value " <<<"$entry" || fail "the uninstall entry has no $value"
done
grep -q '^ *DisplayVersion *REG_SZ *1\.1\.0\.0$' <<<"$entry" ||
  fail "the uninstall entry's DisplayVersion is not 1.1.0.0"

if [ "$arch" = win64 ]; then
  # Each view's class points at the library of its own bitness, and a host of each bitness
  # creates both controls.
  for view in 32 64; do
    library_folder=$windows_folder
    [ "$view" = 32 ] || library_folder="$windows_folder\\x64"
    for server in "$button_server:Lamina.dll" "$form_server:Vellum.dll"; do
      reg_query "${server%:*}" "/reg:$view" | grep -qF "REG_SZ    $library_folder\\${server##*:}" ||
        fail "the $view-bit view does not register $library_folder\\${server##*:}"
    done
  done
  printf 'Set b = CreateObject("Lamina.Button")\r\nSet f = CreateObject("Vellum.CorvidForm")\r\nWScript.Echo TypeName(b) & " " & TypeName(f)\r\n' \
    >"$prefix/drive_c/create.vbs"
  for cscript in cscript 'C:\windows\syswow64\cscript.exe'; do
    created=$(run "$cscript" //nologo 'C:\create.vbs' | tr -d '\r') || true
    [ "$created" = "_Button _CorvidForm" ] || fail "$cscript could not create the controls: $created"
  done

  run "$windows_folder\\uninstall.exe" /S >/dev/null || fail "uninstall.exe /S failed"
  wait_for_uninstall
  [ ! -d "$folder" ] || fail "left behind: $(ls -R "$folder")"
  for view in 32 64; do
    left=$(reg_query HKCR "/reg:$view" | grep -E '^HKEY_CLASSES_ROOT\\(Lamina|Vellum)\.' || true)
    [ -z "$left" ] || fail "left behind in the $view-bit view: $left"
    ! has_key "${button_server%\\*}" "/reg:$view" || fail "the $view-bit Button class is left behind"
  done
  echo "installer_test ($arch): both library sets installed, registered and removed"
  exit 0
fi

[ ! -e "$folder/x64" ] || fail "the 64-bit libraries were installed on 32-bit Windows"
for progid in Lamina.Button Vellum.CorvidForm; do
  has_key "HKCR\\$progid" || fail "$progid is not registered"
done

# The installed program, with a TQSE.ini broken off before its last field: the gate opens with
# its skin and flat buttons; the shutdown keeps the file as TQSE.ini.bak before replacing it.
printf '2\r\n"mine"\r\n' >"$folder/TQSE.ini"
run "$windows_folder\\svctune.exe" &
program=$!
remote wait-ready || fail "svctune did not show its main window"
remote check-gate || fail "the access gate did not work with the installed libraries"

# While it runs, neither an upgrade nor an uninstall changes anything.
before=$(snapshot)
status=$(setup_status)
[ "$status" = 4 ] || fail "setup.exe /S over a running svctune exited with $status, not 4"
status=$(uninstall_in_place)
[ "$status" = 4 ] || fail "uninstall.exe /S beside a running svctune exited with $status, not 4"
[ "$(snapshot)" = "$before" ] || fail "a change was made while svctune ran"

remote close || fail "svctune did not close"
wait "$program" || fail "svctune ended with an error"
has_key "$saved_choice" || fail "svctune saved no choices"
[ -f "$folder/TQSE.ini.bak" ] || fail "svctune kept no TQSE.ini.bak of a file it could not read whole"

# Upgrade over the installed copy: its files come back, the user's preset list stays.
printf '1\r\n"mine"\r\n0\r\n' >"$scratch/presets"
cp "$scratch/presets" "$folder/TQSE.ini"
rm "$folder/tqpass.txt"
setup || fail "the upgrade failed"
[ -f "$folder/tqpass.txt" ] || fail "the upgrade did not install its files"
cmp -s "$scratch/presets" "$folder/TQSE.ini" || fail "the upgrade replaced the user's TQSE.ini"

# The gallery, a component of its own with its own shortcut; later upgrades keep it.
setup /GALLERY || fail "setup.exe /S /GALLERY failed"
for file in gallery/gallery.exe gallery/art/picture.bmp gallery/art/pointer.cur; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
[ -n "$(find "$prefix/drive_c" -path '*/Start Menu/Programs/*' -name 'Trevane 控件示例.lnk')" ] ||
  fail "no Start-menu shortcut for the gallery"

# A host holding the control libraries: the upgrade stops before it replaces anything.
run "$windows_folder\\gallery\\gallery.exe" &
gallery=$!
remote wait-ready svctune.Gallery || fail "the gallery did not show its window"
# Marks on the files extracted before and after the libraries tell whether any was replaced.
echo 'kept' >>"$folder/svctune.exe"
echo 'kept' >>"$folder/tqpass.txt"
before=$(snapshot)
status=$(setup_status)
[ "$status" = 5 ] || fail "an upgrade that could not replace Lamina.dll exited with $status, not 5"
[ "$(snapshot)" = "$before" ] || fail "an upgrade that could not replace a file changed others"
remote close svctune.Gallery || fail "the gallery did not close"
wait "$gallery" || true
setup || fail "the upgrade after the gallery closed failed"
[ -f "$folder/gallery/gallery.exe" ] || fail "an upgrade without /GALLERY removed the gallery"

# Uninstall: a temporary file of an interrupted TQSE.ini write is taken away with the rest.
printf 'partial' >"$folder/tqs1F.tmp"
run "$windows_folder\\uninstall.exe" /S >/dev/null || fail "uninstall.exe /S failed"
wait_for_uninstall
[ ! -d "$folder" ] || fail "left behind: $(ls -R "$folder")"
[ -z "$(find "$prefix/drive_c" -path '*/Start Menu/Programs/*' -name 'Trevane*.lnk')" ] ||
  fail "a Start-menu shortcut is left behind"
! has_key "$uninstall_key" $entry_view || fail "the uninstall entry is left behind"
left=$(reg_query HKCR | grep -E '^HKEY_CLASSES_ROOT\\(Lamina|Vellum)\.' || true)
[ -z "$left" ] || fail "left behind: $left"
has_key "$saved_choice" ||
  fail "the uninstall removed the user's saved choices; left: $(reg_query 'HKLM\SOFTWARE' | grep -i apptq || true)"
echo "installer_test ($arch): setup.exe installs, refuses while in use, upgrades and uninstalls"
