#!/usr/bin/env bash
# The system tests that need this machine's side: links made with ln (Wine
# cannot make any), and shortcut files read back by lnkinfo (a Windows program
# under Wine cannot wait for a Linux one). The test program runs under
# wine-run.sh with CORVANTA_LINUX_SIDE_FOLDER naming a scratch folder here,
# which it reaches under Z:.
# Usage: linux_side_check.sh folder-links|shortcuts TEST_PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=$1 program=$2
folder=$(mktemp -d /tmp/corvanta-linux-side.XXXXXX)
trap 'rm -rf "$folder"' EXIT
export CORVANTA_LINUX_SIDE_FOLDER=$folder

documents_listing() { (cd "$folder/documents" && find . -type f -exec sha1sum {} + | sort); }

case $mode in
folder-links)
  mkdir -p "$folder/documents/letters" "$folder/install" "$folder/package"
  echo "dear mother" >"$folder/documents/letters/home.txt"
  echo "shopping" >"$folder/documents/notes.txt"
  ln -s ../documents "$folder/install/documents"
  ln -s ../documents "$folder/package/linked"
  documents_listing >"$folder/before.txt"
  "$here/../wine-run.sh" "$program"
  # The user's files as this machine sees them, beside what the test saw.
  documents_listing | diff -u "$folder/before.txt" - && echo "ok   documents untouched"
  ;;
shortcuts)
  "$here/../wine-run.sh" "$program" --gtest_filter='CreateShortcutsTest.*'
  [ -s "$folder/kept.txt" ] || { echo "FAIL no shortcut was kept"; exit 1; }
  status=0
  while IFS='|' read -r file target; do
    read_back=$(lnkinfo "$folder/$file" | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p')
    if [ "$read_back" = "$target" ]; then
      echo "ok   $file -> $read_back"
    else
      echo "FAIL $file: lnkinfo reads '$read_back', expected '$target'"
      status=1
    fi
  done <"$folder/kept.txt"
  exit $status
  ;;
*)
  echo "unknown mode: $mode" >&2
  exit 2
  ;;
esac
