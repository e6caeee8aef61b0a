#!/usr/bin/env bash
# Prepares a Debian machine for building and testing the installer: the Debian
# packages, and the source of the Windows console archiver that the build embeds.
# Safe to run again: it installs only what is missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake ninja-build make g++ pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick
  rapidjson-dev googletest libcpp-httplib-dev libssl-dev openssl fonts-roboto-unhinted
  liblnk-utils icoutils 7zip p7zip-full zip dpkg-dev file
  python3-pytest python3-pil fonts-wqy-microhei locales
)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# The archiver is built from Debian's own source package, so apt needs deb-src entries.
src_list=/etc/apt/sources.list.d/corvanta-deb-src.sources
need_update=0
if [ ! -f "$src_list" ] && [ ! -f "${src_list%.sources}.list" ]; then
  # Mirror every deb entry of the machine's own deb822 lists as deb-src.
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in "$src_list") continue ;; esac
    grep -q '^URIs:.*debian' "$f" || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >>"$tmp"
    echo >>"$tmp"
  done
  if [ ! -s "$tmp" ] && [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"${tmp}.list" || true
    [ -s "${tmp}.list" ] && sudo_if_needed install -m 644 "${tmp}.list" /etc/apt/sources.list.d/corvanta-deb-src.list
    src_list=/etc/apt/sources.list.d/corvanta-deb-src.list
  else
    sudo_if_needed install -m 644 "$tmp" "$src_list"
  fi
  rm -f "$tmp" "${tmp}.list"
  need_update=1
fi

# A machine whose package lists were cleared knows no source package either.
[ -n "$(apt-cache showsrc 7zip 2>/dev/null | head -n 1)" ] || need_update=1
if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  sudo_if_needed apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  sudo_if_needed apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Source of the archiver, unpacked once per Debian version into the build folder.
"$root/scripts/fetch-7zip-source.sh" "$root/build/7zip"
