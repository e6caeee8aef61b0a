#!/usr/bin/env bash
# Builds the Windows console archiver 7za.exe for one arch (i686 or x86_64) from
# the unpacked Debian 7zip source, and caches it by source version and arch.
# Usage: build-7za.sh SOURCE_DIR ARCH OUTPUT_EXE
set -euo pipefail
src=$(cd "$1" && pwd -P)
arch=$2
out=$3
version=$(basename "$src")
cache_root=$(dirname "$src")/cache/$version-$arch
cached=$cache_root/7za.exe

if [ ! -f "$cached" ]; then
  case "$arch" in
    x86_64) flags=(IS_X64=1 MSYSTEM=MINGW64 O=b/x64) ; tool=x86_64-w64-mingw32 ;;
    i686)   flags=(IS_X86=1 MSYSTEM=MINGW32 O=b/x86) ; tool=i686-w64-mingw32 ;;
    *) echo "unknown arch $arch" >&2; exit 2 ;;
  esac
  work=$cache_root/work
  rm -rf "$work"; mkdir -p "$work"
  cp -a "$src/." "$work/"
  # MSYSTEM makes the makefile use rm/mkdir -p instead of cmd.exe; no USE_ASM keeps
  # the C versions of the optimised routines, so no assembler is needed.
  make -C "$work/CPP/7zip/Bundles/Alone" -j"$(nproc)" -f makefile.gcc IS_MINGW=1 "${flags[@]}" \
    LFLAGS_STRIP=-s DEB_7Z_LDFLAGS=-Wl,--no-insert-timestamp \
    CC="$tool-gcc-posix" CXX="$tool-g++-posix" RC="$tool-windres" >"$cache_root/build.log" 2>&1 \
    || { tail -n 30 "$cache_root/build.log" >&2; exit 1; }
  built=$(find "$work/CPP/7zip/Bundles/Alone" -name 7za.exe | head -n 1)
  [ -n "$built" ] || { echo "7za.exe not produced" >&2; exit 1; }
  cp "$built" "$cached.part" && mv "$cached.part" "$cached"
  rm -rf "$work"
fi
mkdir -p "$(dirname "$out")"
cp "$cached" "$out"
