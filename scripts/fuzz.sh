#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them for a bounded time each.
#   scripts/fuzz.sh                 every target, 60 seconds each
#   scripts/fuzz.sh <target> [s]    one target (the name without "fuzz_"), s seconds
#   scripts/fuzz.sh all [s]         every target, s seconds each
#   scripts/fuzz.sh network [s]     the targets that take bytes from a peer or a server
# TW_FUZZ_BUILD names the build folder (build/fuzz), TW_FUZZ_JOBS the parallel compile jobs (all
# cores), TW_FUZZ_PARALLEL how many targets run at once (1), each under nice.
# Each run starts from the seed corpus in fuzz/corpus/<target>/ and grows a working corpus in
# the build folder; crashes are kept there too. The network targets get a dictionary written
# from the command table at every run (with the words of a chat server's stream for those that
# read one). A summary line per target gives the executions, their rate, the edges covered and
# whether anything was found. Exit status 1 when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh fuzz
which=${1:-all}
seconds=${2:-60}
build=${TW_FUZZ_BUILD:-build/fuzz}
parallel=${TW_FUZZ_PARALLEL:-1}
# The targets whose input comes from the other end of a socket, and the dictionary each gets.
declare -A dictionary=(
  [receive]=commands [relay_receive]=commands [netcore_dispatcher]=commands [handlers]=commands
  [looks]=commands [netcore_receiver]=commands [relay_frames]=commands
  [server_duel]=xmpp [account]=xmpp [xmpp_stream]=xmpp [connect]=xmpp
)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTW_BUILD_FUZZ=ON -DTW_BUILD_TESTS=OFF -DTW_BUILD_FRONTEND=OFF >/dev/null
targets=()
case "$which" in
  all)
    for f in fuzz/*.cpp; do
      name=$(basename "$f" .cpp)
      case "$name" in replay_main | dictionary) ;; *) targets+=("$name") ;; esac
    done
    ;;
  network) targets=("${!dictionary[@]}") ;;
  *) targets=("$which") ;;
esac
cmake --build "$build" -j "${TW_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}" fuzz_dictionary
"$build/fuzz/fuzz_dictionary" >"$build/fuzz/commands.dict"
"$build/fuzz/fuzz_dictionary" xmpp >"$build/fuzz/xmpp.dict"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Runs one target and writes its summary line to its work folder.
run() {
  local t=$1 work="$build/fuzz-work/$1" dict=()
  mkdir -p "$work/corpus" "$work/crashes"
  local log="$work/last-run.log"
  if [ -n "${dictionary[$t]:-}" ]; then dict=(-dict="$build/fuzz/${dictionary[$t]}.dict"); fi
  local rc=0
  nice "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
    -timeout=20 "${dict[@]}" -artifact_prefix="$work/crashes/" "$work/corpus" "fuzz/corpus/$t" \
    >"$log" 2>&1 || rc=$?
  local execs rate cov
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  local figures="${execs:-?} executions in ${seconds} s (${rate:-?}/s), ${cov:-?} edges"
  if [ $rc -eq 0 ]; then
    echo "$t: $figures, nothing found" >"$work/summary"
  else
    echo "$t: FOUND a fault after $figures (exit $rc); see $log and $work/crashes/" >"$work/summary"
  fi
}

for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  run "$t" &
done
wait
status=0
for t in "${targets[@]}"; do
  cat "$build/fuzz-work/$t/summary"
  if grep -q FOUND "$build/fuzz-work/$t/summary"; then status=1; fi
done
exit $status
