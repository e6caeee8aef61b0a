#!/usr/bin/env bash
# The installer's digests of a set of files against sha1sum's.
# Usage: sha1sum_cross_check.sh FILE_DIGEST_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/corvanta-sha1.XXXXXX)
trap 'rm -rf "$work"' EXIT

printf 'abc' >"$work/abc"
printf 'abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq' >"$work/448bits"
head -c 1000000 /dev/zero | tr '\0' a >"$work/million-a"
for size in 1 8191 8192 8193 65536 250000 1048577; do
  head -c "$size" /dev/urandom >"$work/random-$size"
done

names=(abc 448bits million-a random-1 random-8191 random-8192 random-8193 random-65536 random-250000 random-1048577)
args=()
for name in "${names[@]}"; do args+=("Z:${work//\//\\}\\$name"); done
"$here/wine-run.sh" "$1" "${args[@]}" >"$work/ours.txt"

status=0
for i in "${!names[@]}"; do
  ours=$(sed -n "$((i + 1))p" "$work/ours.txt" | cut -d' ' -f1)
  theirs=$(sha1sum "$work/${names[$i]}" | cut -d' ' -f1)
  if [ "$ours" = "$theirs" ]; then echo "ok   ${names[$i]} $ours"; else echo "FAIL ${names[$i]}: $ours, sha1sum $theirs"; status=1; fi
done
exit $status
