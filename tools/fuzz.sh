#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang, build/fuzz) and runs them.
#   tools/fuzz.sh [SECONDS] [TARGET...]
# First every stored regression input (fuzz/regressions/<target>/) is run
# once; then each target (all of them unless named) fuzzes for SECONDS
# (default 60) from its seed corpus and its own growing corpus
# (build/fuzz/fuzz-corpus/<target>). FUZZ_PARALLEL targets run at once
# (default 1). A crash, hang (> 10 s for one input), leak or allocation over
# 2 GB leaves its input under fuzz/found/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift $(( $# > 0 ? 1 : 0 ))
parallel=${FUZZ_PARALLEL:-1}

bash tools/install-deps.sh

build=build/fuzz
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Line tables are all a finding's stack trace needs, and build much faster
# than full debug information.
cmake -S . -B "$build" -G Ninja "${launcher[@]}" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -gline-tables-only" \
  -DTARNELLO_FUZZ=ON -DTARNELLO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz

root=$(pwd)
targets=("$@")
if ((${#targets[@]} == 0)); then
  mapfile -t targets < "$build/fuzz-targets.txt"
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:allocator_may_return_null=0"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Fuzzed option texts may name files: they land in a scratch folder.
work="$root/$build/fuzz-run"
mkdir -p "$work" "$root/fuzz/found" "$root/$build/fuzz-logs"
export TMPDIR="$work"

failed=()

# Every stored regression input, once.
for t in "${targets[@]}"; do
  dir="$root/fuzz/regressions/$t"
  if [[ -d "$dir" ]] && compgen -G "$dir/*" >/dev/null; then
    if ! (cd "$work" && "$root/$build/fuzz/fuzz_$t" -rss_limit_mb=2048 -timeout=10 \
          "$dir"/* >"$root/$build/fuzz-logs/$t-regressions.log" 2>&1); then
      echo "fuzz: $t: a regression input fails again; see $build/fuzz-logs/$t-regressions.log"
      failed+=("$t (regression)")
    else
      echo "fuzz: $t: $(ls "$dir" | wc -l) regression inputs pass"
    fi
  fi
done

run_one() {
  local t=$1
  local corpus="$root/$build/fuzz-corpus/$t" seeds="$root/$build/fuzz-seeds/corpus/$t"
  local dict="$root/$build/fuzz-seeds/dict/$t.dict" log="$root/$build/fuzz-logs/$t.log"
  local args=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
              -artifact_prefix="$root/fuzz/found/$t-")
  [[ -f "$dict" ]] && args+=(-dict="$dict")
  mkdir -p "$corpus" "$seeds"
  if (cd "$work" && "$root/$build/fuzz/fuzz_$t" "${args[@]}" "$corpus" "$seeds" >"$log" 2>&1); then
    echo "fuzz: $t: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)"
  else
    echo "fuzz: $t FAILED; input under fuzz/found/, log $build/fuzz-logs/$t.log"
    grep -E "^==[0-9]+==ERROR|^SUMMARY|runtime error" "$log" | head -5 || true
    return 1
  fi
}

# Up to FUZZ_PARALLEL targets at once; each result is collected in order.
pids=() names=()
for t in "${targets[@]}"; do
  run_one "$t" & pids+=($!) names+=("$t")
  if ((${#pids[@]} >= parallel)); then
    wait "${pids[0]}" || failed+=("${names[0]}")
    pids=("${pids[@]:1}") names=("${names[@]:1}")
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || failed+=("${names[$i]}")
done

if ((${#failed[@]} > 0)); then
  echo "fuzz: findings in: ${failed[*]}"
  exit 1
fi
echo "fuzz: no findings"
