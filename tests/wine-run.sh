#!/usr/bin/env bash
# ctest's runner for the Windows test programs: one fresh copy of the template
# prefix per run, so every test starts on a clean machine, and nothing of Wine
# is left running afterwards.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

scratch=${CORVANTA_WINE_SCRATCH:-/tmp/corvanta-wine}
template=${CORVANTA_WINE_TEMPLATE:-$scratch/template}
mkdir -p "$scratch"
# Runs started by hand make the template themselves; the lock keeps two from racing.
( flock 9; make_wine_template "$template" ) 9>"$scratch/.template.lock"

prefix=$(mktemp -d "$scratch/prefix.XXXXXX")
copy_wine_prefix "$template" "$prefix"
export WINEPREFIX=$prefix

program=$1; shift
"$CORVANTA_WINE" "$program" "$@"
rc=$?

stop_services_under "$prefix"
"$CORVANTA_WINESERVER" -k >/dev/null 2>&1
"$CORVANTA_WINESERVER" -w >/dev/null 2>&1
[ -n "${CORVANTA_KEEP_PREFIX:-}" ] && echo "prefix kept: $prefix" >&2 || rm -rf "$prefix"
exit $rc
