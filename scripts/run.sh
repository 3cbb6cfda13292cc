#!/usr/bin/env bash
# Installs what is missing, builds the program, creates the demo database at
# the fallback location when there is none, and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
build=${BUILD_DIR:-build/app}
cmake -S . -B "$build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target urunlertoplu toplu-ekle demo-setup
"$build/tools/demo/demo-setup"
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: the window runs on a virtual one (xvfb-run); set DISPLAY to see it."
  exec xvfb-run -a "$build/window/urunlertoplu"
fi
exec "$build/window/urunlertoplu"
