#!/usr/bin/env bash
# regsvr32 registers both libraries, every class of each, in a prefix of their own; every key
# is there, and regsvr32 /u leaves none of them behind.
# Usage: registration_round_trip.sh WINE_RUN PREFIX LAMINA_DLL VELLUM_DLL
set -uo pipefail
run=$1 prefix=$2 lamina=$3 vellum=$4
trap '"$run" --prefix "$prefix" --stop' EXIT

keys=(
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\InprocServer32'
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\Control'
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\ToolboxBitmap32'
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\TypeLib'
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\MiscStatus\1'
  'HKCR\Lamina.Button\CLSID'
  'HKCR\Lamina.Button.1\CLSID'
  'HKCR\TypeLib\{22282B66-3C8B-4901-8016-64F1E2C8DC52}\1.0'
  'HKCR\Interface\{7B55EB3C-4800-49E2-B2D6-EC03015DDF4F}'
  'HKCR\Interface\{A54BF3D5-0D64-4699-BAD6-CA1EFDC5B9FB}'
  'HKCR\CLSID\{901D0658-0A5A-48F7-A5BB-9FE9AB18AEBC}\InprocServer32'
  'HKCR\CLSID\{901D0658-0A5A-48F7-A5BB-9FE9AB18AEBC}\Control'
  'HKCR\CLSID\{901D0658-0A5A-48F7-A5BB-9FE9AB18AEBC}\ToolboxBitmap32'
  'HKCR\CLSID\{901D0658-0A5A-48F7-A5BB-9FE9AB18AEBC}\TypeLib'
  'HKCR\Lamina.Progress\CLSID'
  'HKCR\Lamina.Progress.1\CLSID'
  'HKCR\Interface\{45EC04B3-C8C4-40B7-A537-A2C104D33B34}'
  'HKCR\Interface\{04E2C0A9-0C74-44BA-AE76-7D2BCBE6C70E}'
  'HKCR\CLSID\{4289E249-D387-4BA2-9343-A4B958D22920}\InprocServer32'
  'HKCR\CLSID\{4289E249-D387-4BA2-9343-A4B958D22920}\Control'
  'HKCR\CLSID\{4289E249-D387-4BA2-9343-A4B958D22920}\ToolboxBitmap32'
  'HKCR\CLSID\{4289E249-D387-4BA2-9343-A4B958D22920}\TypeLib'
  'HKCR\Lamina.Vscroll\CLSID'
  'HKCR\Lamina.Vscroll.1\CLSID'
  'HKCR\Interface\{0E150941-7A1B-4A85-B6EB-1438A3F05021}'
  'HKCR\Interface\{CB7BFEBD-829A-4926-922A-53B140DBC2A3}'
  'HKCR\CLSID\{F0FD9090-BA78-468E-B2FF-B4D071553F8A}\InprocServer32'
  'HKCR\CLSID\{F0FD9090-BA78-468E-B2FF-B4D071553F8A}\Control'
  'HKCR\CLSID\{F0FD9090-BA78-468E-B2FF-B4D071553F8A}\ToolboxBitmap32'
  'HKCR\CLSID\{F0FD9090-BA78-468E-B2FF-B4D071553F8A}\TypeLib'
  'HKCR\Lamina.Hscroll\CLSID'
  'HKCR\Lamina.Hscroll.1\CLSID'
  'HKCR\Interface\{8A4D97E1-3869-42CC-970E-D051B3F6D39B}'
  'HKCR\Interface\{1845286C-147B-4663-9ACD-B0EB38702986}'
  'HKCR\CLSID\{B55FFD0E-4450-4D9F-8F23-DF2CF05CFA05}\InprocServer32'
  'HKCR\CLSID\{B55FFD0E-4450-4D9F-8F23-DF2CF05CFA05}\Control'
  'HKCR\CLSID\{B55FFD0E-4450-4D9F-8F23-DF2CF05CFA05}\ToolboxBitmap32'
  'HKCR\Lamina.ComBox\CLSID'
  'HKCR\Interface\{4A865C52-22D9-4609-973C-204C8550BDA9}'
  'HKCR\Interface\{EB124400-1078-499C-938D-5871A4C79B9B}'
  'HKCR\CLSID\{16033F64-8930-422E-A0CF-9F2A92254D1A}\InprocServer32'
  'HKCR\CLSID\{16033F64-8930-422E-A0CF-9F2A92254D1A}\Control'
  'HKCR\CLSID\{16033F64-8930-422E-A0CF-9F2A92254D1A}\ToolboxBitmap32'
  'HKCR\Lamina.MoveBar\CLSID'
  'HKCR\Interface\{3F570C7D-C5F3-4665-86C8-B250D1F357AC}'
  'HKCR\Interface\{EC356CC7-7C06-4F7F-BF64-EFCB966DB8B6}'
  'HKCR\CLSID\{50605614-19FE-4AD3-90D9-2EA308709F2E}\InprocServer32'
  'HKCR\CLSID\{50605614-19FE-4AD3-90D9-2EA308709F2E}\Control'
  'HKCR\Vellum.CorvidForm\CLSID'
  'HKCR\Vellum.CorvidForm.1\CLSID'
  'HKCR\TypeLib\{D4230350-624C-4354-9B35-2058B1033624}\1.0'
  'HKCR\Interface\{90B94D9F-FD56-42DC-8AA6-04366735C6A8}'
  'HKCR\Interface\{D1446085-A149-4BFA-A988-37032CB594F3}'
)
roots=(
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}'
  'HKCR\Lamina.Button'
  'HKCR\Lamina.Button.1'
  'HKCR\TypeLib\{22282B66-3C8B-4901-8016-64F1E2C8DC52}'
  'HKCR\Interface\{7B55EB3C-4800-49E2-B2D6-EC03015DDF4F}'
  'HKCR\Interface\{A54BF3D5-0D64-4699-BAD6-CA1EFDC5B9FB}'
  'HKCR\CLSID\{901D0658-0A5A-48F7-A5BB-9FE9AB18AEBC}'
  'HKCR\Lamina.Progress'
  'HKCR\Lamina.Progress.1'
  'HKCR\Interface\{45EC04B3-C8C4-40B7-A537-A2C104D33B34}'
  'HKCR\Interface\{04E2C0A9-0C74-44BA-AE76-7D2BCBE6C70E}'
  'HKCR\CLSID\{4289E249-D387-4BA2-9343-A4B958D22920}'
  'HKCR\Lamina.Vscroll'
  'HKCR\Lamina.Vscroll.1'
  'HKCR\Interface\{0E150941-7A1B-4A85-B6EB-1438A3F05021}'
  'HKCR\Interface\{CB7BFEBD-829A-4926-922A-53B140DBC2A3}'
  'HKCR\CLSID\{F0FD9090-BA78-468E-B2FF-B4D071553F8A}'
  'HKCR\Lamina.Hscroll'
  'HKCR\Lamina.Hscroll.1'
  'HKCR\Interface\{8A4D97E1-3869-42CC-970E-D051B3F6D39B}'
  'HKCR\Interface\{1845286C-147B-4663-9ACD-B0EB38702986}'
  'HKCR\CLSID\{B55FFD0E-4450-4D9F-8F23-DF2CF05CFA05}'
  'HKCR\Lamina.ComBox'
  'HKCR\Lamina.ComBox.1'
  'HKCR\Interface\{4A865C52-22D9-4609-973C-204C8550BDA9}'
  'HKCR\CLSID\{16033F64-8930-422E-A0CF-9F2A92254D1A}'
  'HKCR\Lamina.MoveBar'
  'HKCR\Lamina.MoveBar.1'
  'HKCR\Interface\{3F570C7D-C5F3-4665-86C8-B250D1F357AC}'
  'HKCR\CLSID\{50605614-19FE-4AD3-90D9-2EA308709F2E}'
  'HKCR\Vellum.CorvidForm'
  'HKCR\Vellum.CorvidForm.1'
  'HKCR\TypeLib\{D4230350-624C-4354-9B35-2058B1033624}'
  'HKCR\Interface\{90B94D9F-FD56-42DC-8AA6-04366735C6A8}'
  'HKCR\Interface\{D1446085-A149-4BFA-A988-37032CB594F3}'
)

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# One export of HKEY_CLASSES_ROOT answers every key of a step (one reg query per key is far
# slower under Wine).
snapshot="$prefix-classes.reg"
take_snapshot() {
  rm -f "$snapshot"
  "$run" --prefix "$prefix" reg export HKCR "Z:${snapshot//\//\\}" /y >/dev/null 2>&1 ||
    fail "reg export HKCR"
  iconv -f UTF-16LE -t UTF-8 "$snapshot" 2>/dev/null | tr -d '\r' >"$snapshot.txt"
  [ -s "$snapshot.txt" ] || fail "empty export of HKCR"
}
exists() { grep -qixF "[HKEY_CLASSES_ROOT\\${1#HKCR\\}]" "$snapshot.txt"; }

for dll in "$lamina" "$vellum"; do
  "$run" --prefix "$prefix" regsvr32 /s "$dll" || fail "regsvr32 $dll"
done
take_snapshot
for key in "${keys[@]}"; do
  exists "$key" || fail "missing after registration: $key"
done
"$run" --prefix "$prefix" reg query \
  'HKCR\CLSID\{736DA668-0E16-46C2-B740-7E9D5E893B82}\InprocServer32' /v ThreadingModel |
  grep -q Apartment || fail "ThreadingModel is not Apartment"

for dll in "$lamina" "$vellum"; do
  "$run" --prefix "$prefix" regsvr32 /s /u "$dll" || fail "regsvr32 /u $dll"
done
take_snapshot
for key in "${roots[@]}"; do
  exists "$key" && fail "left behind after /u: $key"
done

# Unregistering what is not registered is not an error.
"$run" --prefix "$prefix" regsvr32 /s /u "$lamina" || fail "second regsvr32 /u"

total=$(( ${#keys[@]} + ${#roots[@]} + 6 ))
echo "$((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
