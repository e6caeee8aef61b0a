#!/usr/bin/env bash
# Assembles a release folder for the local update service (tools/update-service)
# from the demo programs of a Windows build (tools/demo-release):
#
#   make-demo-release.sh OUTDIR BUILD_DIR [options]
#
# OUTDIR gets release.json and the files it names:
#   Corvanta-VERSION.zip                     the application package (kind "application")
#   NDP452-KB2901907-x86-x64-AllOS-ENU.exe   the framework stand-in (kind "framework", 4.5.2)
#   CorvantaSetup.exe                        with --installer only (kind "installer")
# Options:
#   --app-version V         version of the application package (default 1.0.21.0)
#   --no-app                leave the application out
#   --no-framework          leave the framework out
#   --broken-framework      offer the stand-in that ends well but registers nothing
#   --installer             offer BUILD_DIR/CorvantaSetup-next.exe as the installer
#   --installer-version V   the installer's version (default 1.0.22.0); implies --installer
#   --installer-file PATH   offer PATH instead of CorvantaSetup-next.exe; implies --installer
# Earlier output of this script in OUTDIR is replaced. The last line on stdout
# is OUTDIR as an absolute path.
set -euo pipefail

help_text() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; }
usage() {
  help_text >&2
  exit 2
}
fail() {
  echo "make-demo-release: $*" >&2
  exit 1
}

app_version=1.0.21.0
installer_version=1.0.22.0
installer_file=
with_app=1
with_framework=1
with_installer=0
framework_variant=NDP452-stand-in
positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --app-version) [ $# -ge 2 ] || usage; app_version=$2; shift ;;
    --no-app) with_app=0 ;;
    --no-framework) with_framework=0 ;;
    --broken-framework) framework_variant=NDP452-stand-in-broken ;;
    --installer) with_installer=1 ;;
    --installer-version) [ $# -ge 2 ] || usage; installer_version=$2; with_installer=1; shift ;;
    --installer-file) [ $# -ge 2 ] || usage; installer_file=$2; with_installer=1; shift ;;
    -h | --help) help_text; exit 0 ;;
    -*) echo "make-demo-release: unknown option $1" >&2; usage ;;
    *) positional+=("$1") ;;
  esac
  shift
done
[ ${#positional[@]} -eq 2 ] || usage
out=${positional[0]}
build=${positional[1]}
bin=$build/demo-release/bin
[ -n "$installer_file" ] || installer_file=$build/CorvantaSetup-next.exe

# Versions end up in file names and are sent to the installer as they are.
for version in "$app_version" "$installer_version"; do
  [[ $version =~ ^[0-9A-Za-z][0-9A-Za-z._-]*$ ]] || fail "not a usable version: '$version'"
done

archiver=
for candidate in 7zz 7z 7za; do
  if command -v "$candidate" >/dev/null; then archiver=$candidate; break; fi
done
[ -n "$archiver" ] || fail "no 7-Zip command (7zz, 7z or 7za): install the Debian package 7zip"

app_programs=(Corvanta.exe Corvanta.Updater.exe uninstaller.exe)
needed=()
if [ $with_app = 1 ]; then
  for program in "${app_programs[@]}"; do needed+=("$bin/$program"); done
fi
[ $with_framework = 0 ] || needed+=("$bin/$framework_variant.exe")
[ $with_installer = 0 ] || needed+=("$installer_file")
for file in "${needed[@]}"; do
  [ -f "$file" ] || fail "missing $file (build the Windows project first)"
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
framework_name=NDP452-KB2901907-x86-x64-AllOS-ENU.exe
installer_name=CorvantaSetup.exe
rm -f "$out"/Corvanta-*.zip "$out/$framework_name" "$out/$installer_name" "$out/release.json"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
entries=()  # kind, file, version; in the order release.json lists them

if [ $with_installer = 1 ]; then
  cp "$installer_file" "$out/$installer_name"
  entries+=(installer "$installer_name" "$installer_version")
fi

if [ $with_app = 1 ]; then
  package=$stage/package
  mkdir -p "$package/resources/lang"
  for program in "${app_programs[@]}"; do install -m 755 "$bin/$program" "$package/$program"; done
  # Corvanta.exe shows the version it finds here.
  printf '%s\n' "$app_version" >"$package/version.txt"
  cat >"$package/README.txt" <<TEXT
Corvanta $app_version (demo release)

A stand-in for the Corvanta application, built from the Corvanta
installer repository to test installations.
TEXT
  printf 'language=en\ngreeting=Welcome to Corvanta\n' >"$package/resources/lang/en.txt"
  printf 'language=de\ngreeting=Willkommen bei Corvanta, schön dass Sie da sind\n' \
    >"$package/resources/lang/de.txt"
  printf 'Übersicht der Demo-Dateien\n' >"$package/resources/Übersicht.txt"
  find "$package" -type f ! -name '*.exe' -exec chmod 644 {} +
  find "$package" -type d -exec chmod 755 {} +
  # Fixed times and a fixed list make the same inputs give the same archive.
  find "$package" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-1735689600}" {} +
  zip_name=Corvanta-$app_version.zip
  members=("${app_programs[@]}" README.txt version.txt resources resources/Übersicht.txt
           resources/lang resources/lang/de.txt resources/lang/en.txt)
  (cd "$package" && TZ=UTC "$archiver" a -tzip -mx=9 -mcu=on -mtc=off -mta=off -r- -bd -bso0 -bsp0 \
    -- "$stage/$zip_name" "${members[@]}") || fail "$archiver could not make $zip_name"
  "$archiver" t -bd -bso0 -bsp0 "$stage/$zip_name" || fail "$zip_name does not test well"
  mv "$stage/$zip_name" "$out/$zip_name"
  entries+=(application "$zip_name" "$app_version")
fi

if [ $with_framework = 1 ]; then
  cp "$bin/$framework_variant.exe" "$out/$framework_name"
  entries+=(framework "$framework_name" 4.5.2)
fi

python3 - "$out/release.json" "${entries[@]}" <<'PY'
import json
import sys

path, fields = sys.argv[1], sys.argv[2:]
release = {fields[i]: {"file": fields[i + 1], "version": fields[i + 2]}
           for i in range(0, len(fields), 3)}
with open(path, "w", encoding="utf-8") as file:
    file.write(json.dumps(release, indent=2, ensure_ascii=False) + "\n")
PY

echo "$out"
