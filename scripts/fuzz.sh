#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them for a bounded time each.
#   scripts/fuzz.sh                 every target, 60 seconds each
#   scripts/fuzz.sh <target> [s]    one target (the name without "fuzz_"), s seconds
#   scripts/fuzz.sh all [s]         every target, s seconds each
# TW_FUZZ_BUILD names the build folder (build/fuzz), TW_FUZZ_JOBS the parallel compile jobs (all
# cores).
# Each run starts from the seed corpus in fuzz/corpus/<target>/ and grows a working corpus in
# the build folder; crashes are kept there too. A summary line per target gives the executions
# and whether anything was found. Exit status 1 when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh fuzz
which=${1:-all}
seconds=${2:-60}
build=${TW_FUZZ_BUILD:-build/fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTW_BUILD_FUZZ=ON -DTW_BUILD_TESTS=OFF -DTW_BUILD_FRONTEND=OFF >/dev/null
targets=()
if [ "$which" = all ]; then
  for f in fuzz/*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = replay_main ] || targets+=("$name")
  done
else
  targets=("$which")
fi
cmake --build "$build" -j "${TW_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
summary=()
for t in "${targets[@]}"; do
  work="$build/fuzz-work/$t"
  mkdir -p "$work/corpus" "$work/crashes"
  log="$work/last-run.log"
  set +e
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
    -timeout=20 -artifact_prefix="$work/crashes/" "$work/corpus" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ $rc -eq 0 ]; then
    summary+=("$t: ${execs:-?} executions in ${seconds} s, nothing found")
  else
    status=1
    summary+=("$t: FOUND a fault after ${execs:-?} executions (exit $rc); see $log and $work/crashes/")
  fi
done
printf '%s\n' "${summary[@]}"
exit $status
