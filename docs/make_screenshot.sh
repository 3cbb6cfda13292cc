#!/usr/bin/env bash
# Makes docs/screenshot.png: the window on the demo database with the sample
# workbook loaded, on a virtual display. Needs xvfb, xdotool and imagemagick,
# and a build of urunlertoplu and demo-setup in $BUILD_DIR (default build/app).
# The demo database goes to a scratch home folder, not to yours.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" != "--on-display" ]]; then
  exec xvfb-run -a -s "-screen 0 1000x600x24" "$0" --on-display
fi
build=$(realpath "${BUILD_DIR:-build/app}")
workbook=$(realpath db/sample/urunler.xls)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" "$build/tools/demo/demo-setup"

HOME="$home" "$build/window/urunlertoplu" & app=$!
sleep 3
xdotool mousemove 97 34 click 1      # EXCELL SEÇ
sleep 2
xdotool type --delay 20 "$workbook"
xdotool key Return
sleep 2
xdotool mousemove 100 120 click 1    # a cell of the second product
sleep 1
import -window root -crop 846x408+0+0 +repage docs/screenshot.png
kill "$app"
