# Shared by the test scripts: how Wine is run here. Source it, don't run it.
# Quiet, and without the Mono and Gecko installers a new prefix would ask for.
export WINEDEBUG=-all
# Nor does winemenubuilder turn shortcuts into menu entries of this machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The 64-bit loader itself: the `wine` wrapper only adds a complaint about wine32.
CORVANTA_WINE=${CORVANTA_WINE:-/usr/lib/wine/wine64}
CORVANTA_WINESERVER=${CORVANTA_WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$CORVANTA_WINESERVER" ] || CORVANTA_WINESERVER=$(command -v wineserver)

# Bump when the template is made differently, so old templates are made anew.
CORVANTA_TEMPLATE_FORMAT=3

# make_wine_template DIR: a fresh prefix, made once per test run.
make_wine_template() {
  local dir=$1
  [ "$(cat "$dir/.complete" 2>/dev/null)" = "$CORVANTA_TEMPLATE_FORMAT" ] && return 0
  rm -rf "$dir"
  WINEPREFIX=$dir "$CORVANTA_WINE" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$dir "$CORVANTA_WINESERVER" -w
  # Wine links Desktop, Downloads, Templates and the like to this machine's home
  # folder; a test machine keeps them inside the prefix, one set per test.
  find "$dir/drive_c/users" -type l | while read -r link; do
    rm "$link" && mkdir "$link"
  done
  echo "$CORVANTA_TEMPLATE_FORMAT" >"$dir/.complete"
}

# copy_wine_prefix FROM TO: a private copy of a prefix. The system DLLs (most of
# its 700 MB) are only ever read, so they are hard-linked; the rest is copied.
copy_wine_prefix() {
  local from=$1 to=$2
  mkdir -p "$to"
  tar -C "$from" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$to" -xf -
  cp -al "$from/drive_c/windows/system32" "$to/drive_c/windows/"
}

# stop_services_under DIR: ends the local update services whose release folder
# lies under DIR. A Windows test cannot end the Linux programs it starts.
stop_services_under() {
  local dir=$1 pid
  for pid in $(pgrep -x update-service 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/" && kill "$pid" 2>/dev/null
  done
  return 0
}

# start_own_xvfb FIRST LAST LOG: a display of its own on the first free number in
# FIRST..LAST (there is no window manager); sets DISPLAY and xvfb_pid.
start_own_xvfb() {
  local first=$1 last=$2 log=$3 n display=
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
  done
  [ -n "$display" ] || { echo "no free X display" >&2; return 1; }
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
}

# end_wine_under DIR: ends the wineservers (and so the programs) of the
# prefixes DIR/template and DIR/prefix.*.
end_wine_under() {
  local prefix
  for prefix in "$1"/template "$1"/prefix.*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix "$CORVANTA_WINESERVER" -k >/dev/null 2>&1 || true
  done
  return 0
}
