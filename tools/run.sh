#!/usr/bin/env bash
# Builds Tarnello (Release) and starts it. On a machine without a display it
# starts a virtual X display first and says so.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNELLO_TESTS=OFF
cmake --build "$build" -j "$(nproc)" --target tarnello

if [[ -z "${DISPLAY:-}" ]]; then
  echo "No display found: starting Tarnello on a virtual X display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$build/tarnello"
fi
exec "$build/tarnello"
