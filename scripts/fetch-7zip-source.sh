#!/usr/bin/env bash
# Unpacks Debian's current 7zip source package into DIR/src-VERSION and points
# DIR/src at it. Nothing is pinned: a security upload simply yields a new folder.
set -euo pipefail
dir=$1
mkdir -p "$dir"
version=$(apt-cache showsrc 7zip 2>/dev/null | awk '/^Version:/ {print $2}' | sort -V | tail -n 1 || true)
[ -n "$version" ] || { echo "no 7zip source package known to apt" >&2; exit 1; }
target="$dir/src-$version"
if [ ! -f "$target/.complete" ]; then
  rm -rf "$target" "$dir/download"
  mkdir -p "$dir/download"
  (cd "$dir/download" && apt-get source -q --download-only "7zip=$version" >/dev/null)
  dsc=$(ls "$dir"/download/*.dsc | head -n 1)
  dpkg-source --no-check -x "$dsc" "$target" >/dev/null
  touch "$target/.complete"
  rm -rf "$dir/download"
fi
ln -sfn "src-$version" "$dir/src"
# Rewritten only on a change: the build embeds a new archiver when it changes.
[ "$(cat "$dir/version" 2>/dev/null)" = "$version" ] || echo "$version" >"$dir/version"
