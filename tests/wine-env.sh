# Shared by the test scripts: how Wine is run here. Source it, don't run it.
# Quiet, and without the Mono and Gecko installers a new prefix would ask for.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader itself: the `wine` wrapper only adds a complaint about wine32.
CORVANTA_WINE=${CORVANTA_WINE:-/usr/lib/wine/wine64}
CORVANTA_WINESERVER=${CORVANTA_WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$CORVANTA_WINESERVER" ] || CORVANTA_WINESERVER=$(command -v wineserver)

# make_wine_template DIR: a fresh prefix, made once per test run.
make_wine_template() {
  local dir=$1
  [ -f "$dir/.complete" ] && return 0
  rm -rf "$dir"
  WINEPREFIX=$dir "$CORVANTA_WINE" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$dir "$CORVANTA_WINESERVER" -w
  touch "$dir/.complete"
}

# copy_wine_prefix FROM TO: a private copy of a prefix. The system DLLs (most of
# its 700 MB) are only ever read, so they are hard-linked; the rest is copied.
copy_wine_prefix() {
  local from=$1 to=$2
  mkdir -p "$to"
  tar -C "$from" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$to" -xf -
  cp -al "$from/drive_c/windows/system32" "$to/drive_c/windows/"
}
