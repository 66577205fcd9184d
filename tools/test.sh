#!/usr/bin/env bash
# Builds Tarnello with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test, then the fuzz stage. Installs what is missing first. Tests that
# need an X display get one from xvfb-run; nothing else is started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs=$(nproc)
build=build/test
# A compiler cache, where one is installed, makes rebuilds of several work
# trees cheap; the build does not need it.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Line tables (-g1) are all the sanitizers' stack traces need; full debug
# information makes the build a third slower.
cmake -S . -B "$build" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" \
  -DTARNELLO_SANITIZE=ON -DTARNELLO_TESTS=ON
cmake --build "$build" -j "$jobs"

mkdir -p "$build/test-tmp"
root=$(pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TARNELLO_SOURCE_DIR="$root"
export TARNELLO_TEST_TMP="$root/$build/test-tmp"
# The update check never reaches the network from a test run.
export TARNELLO_UPDATE_URL=""
# One virtual display serves the whole run; headless tests ignore it.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"

# The conversion scheduler's tests once more under ThreadSanitizer: a small
# program of the scheduler unit and its tests, not a second engine build.
tsan=build/tsan
mkdir -p "$tsan"
"${CXX:-c++}" -std=c++20 -O1 -g1 -fsanitize=thread -I. engine/transcode/Scheduler.cpp \
  tests/engine/SchedulerTest.cpp -lgtest -lgtest_main -pthread -o "$tsan/scheduler_tests"
TSAN_OPTIONS="halt_on_error=1" "$tsan/scheduler_tests" --gtest_brief=1

# The fuzz stage (tools/fuzz.sh): a second build of the libraries with clang,
# every stored regression input once, then each target for a short time, two
# targets at a time. TARNELLO_FUZZ_SECONDS sets the time per target (10 by
# default); 0 leaves the stage out.
fuzz_seconds=${TARNELLO_FUZZ_SECONDS:-10}
if [[ "$fuzz_seconds" != 0 ]]; then
  FUZZ_PARALLEL=${FUZZ_PARALLEL:-$(( jobs < 2 ? jobs : 2 ))} bash tools/fuzz.sh "$fuzz_seconds"
fi
