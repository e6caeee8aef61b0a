#!/usr/bin/env bash
# The product at work: builds what is missing, serves the demo release from the
# local update service on loopback, and runs CorvantaSetup.exe under Wine in a
# prefix of its own, in a real window. With a display (DISPLAY set) you click
# through yourself; without one it runs on its own Xvfb, clicks through by
# itself and saves a screenshot of each stage. Either way it ends by printing
# what the run did. Usage: scripts/demo.sh [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/build.sh"
. "$root/tests/wine-env.sh"

output=${1:-$(mktemp -d /tmp/corvanta-demo.XXXXXX)}
mkdir -p "$output"
output=$(cd "$output" && pwd)
export CORVANTA_WINE_SCRATCH=$output/wine
export CORVANTA_WINE_TEMPLATE=$output/wine/template
mkdir -p "$CORVANTA_WINE_SCRATCH"

xvfb_pid=
cleanup() {
  stop_services_under "$output"
  end_wine_under "$CORVANTA_WINE_SCRATCH"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$CORVANTA_WINE_TEMPLATE"
}
trap cleanup EXIT

mode=interactive
if [ -z "${DISPLAY:-}" ]; then
  mode=automatic
  start_own_xvfb 140 180 "$output/xvfb.log"
fi

echo "demo: making the Wine prefix and the release (output in $output)"
make_wine_template "$CORVANTA_WINE_TEMPLATE"
"$root/scripts/make-demo-release.sh" "$output/release" "$root/build/x86_64" >/dev/null

CORVANTA_KEEP_PREFIX=1 /usr/bin/python3 "$root/scripts/demo.py" --mode "$mode" \
  --release "$output/release" --output "$output"
