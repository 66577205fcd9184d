#!/usr/bin/env bash
# Builds Tarnello with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test. Installs what is missing first. Tests that need an X display get
# one from xvfb-run; nothing else is started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs=$(nproc)
build=build/test
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g" \
  -DTARNELLO_SANITIZE=ON -DTARNELLO_TESTS=ON
cmake --build "$build" -j "$jobs"

mkdir -p "$build/test-tmp"
# One virtual display serves the whole run; headless tests ignore it.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
