#!/usr/bin/env bash
# Checks the release installer without running it (32-bit code cannot run on
# this machine): PE type and subsystem, imports, embedded files, manifest and
# version resource. Usage: check-release.sh [EXE]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/i686/CorvantaSetup.exe}
objdump=i686-w64-mingw32-objdump
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

"$objdump" -p "$exe" >"$work/headers" 2>&1
check "PE32 for i386" grep -q 'file format pei-i386' "$work/headers"
check "GUI subsystem" grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' "$work/headers"

# Only DLLs that every Windows installation has.
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|wininet|shlwapi|gdiplus|wtsapi32|msimg32|version|msvcrt|crypt32)\.dll$'
grep 'DLL Name:' "$work/headers" | awk '{print tolower($3)}' | sort -u >"$work/dlls"
echo "     imports: $(tr '\n' ' ' <"$work/dlls")"
check "imports only system DLLs" bash -c "! grep -Evq '$allowed' '$work/dlls'"

wrestool -l "$exe" >"$work/resources"
extract() { wrestool -x --raw "$@" "$exe"; }
extract --type=FILE --name=156 >"$work/7za.exe"
extract --type=FILE --name=208 >"$work/font.ttf"
extract --type=24 --name=1 >"$work/manifest.xml"
extract --type=16 --name=1 >"$work/version.bin"
check "FILE 156 is a 32-bit Windows 7za" bash -c \
  "$objdump -f '$work/7za.exe' | grep -q 'file format pei-i386' && strings '$work/7za.exe' | grep -q '7-Zip'"
check "FILE 208 is Roboto-Regular.ttf" cmp -s "$work/font.ttf" \
  /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf
check "string table in English (1033)" grep -Eq -- "--type=6 .*--language=1033" "$work/resources"
pictures=(154 157 158 159 160 161 162 163 165 209 210 211 222 $(seq 223 242))
check "the ${#pictures[@]} PNG pictures, each the file it was made from" bash -c '
  for id in '"${pictures[*]}"'; do
    wrestool -x --raw --type=PNG --name=$id --language=1033 "'"$exe"'" | cmp -s - "'"$root"'/resources/pictures/$id.png" || exit 1
  done'
check "icon 219 with eight 32-bit images" bash -c \
  "wrestool -x --type=14 --name=219 '$exe' >'$work/icon.ico' && [ \$(icotool -l '$work/icon.ico' | grep -c 'bit-depth=32') -eq 8 ]"
for dialog in 100 102 213 215; do
  check "dialog template $dialog" grep -Eq -- "--type=5 --name=$dialog --language=1033" "$work/resources"
done
check "manifest requires administrator without UI access" \
  grep -q 'level="requireAdministrator" uiAccess="false"' "$work/manifest.xml"
check "manifest depends on Common Controls 6.0.0.0 for x86" bash -c \
  "tr -d '\n' <'$work/manifest.xml' | grep -Eq 'name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"x86\"'"
strings -el "$work/version.bin" >"$work/version.txt"
version_has() { grep -A1 -x "$1" "$work/version.txt" | tail -n 1 | grep -qx "$2"; }
check "file and product version 1.0.21.0" bash -c \
  "grep -A1 -x FileVersion '$work/version.txt' | grep -qx 1.0.21.0 && grep -A1 -x ProductVersion '$work/version.txt' | grep -qx 1.0.21.0"
for pair in "CompanyName=Velmar AG" "FileDescription=Corvanta" "ProductName=Corvanta" \
            "InternalName=Corvanta.exe" "OriginalFilename=Corvanta.exe"; do
  check "version text ${pair%%=*} is \"${pair#*=}\"" version_has "${pair%%=*}" "${pair#*=}"
done
# The fixed part of the version resource: 1.0.21.0 as file and product version.
check "fixed version numbers 1.0.21.0" bash -c \
  "od -An -tx1 -v '$work/version.bin' | tr -d ' \n' | grep -q 'bd04effe0000010000000100000015000000010000001500'"

if [ $failures -ne 0 ]; then echo "release check: $failures failed"; exit 1; fi
echo "release check: all passed"
