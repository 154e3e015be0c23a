#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer and UndefinedBehaviorSanitizer),
# writes their seed corpora from examples/ and runs each target in turn. Any finding (a crash, a
# sanitizer report, a leak, an input slower than 25 s) fails the script and leaves the input in
# the build folder (crash-*, leak-*, timeout-*).
#
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; TARGET names as in fuzz/*_fuzz.cpp (default: all of them).
# FUZZ_BUILD (default build-asan) is the build folder; FUZZ_RUNS, when set, runs each target for
# that many executions instead of a time; FUZZ_JOBS (default 1) runs that many processes per target
# (libFuzzer's -fork).
# The corpora grow in FUZZ_BUILD/corpus/TARGET and are kept between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-build-asan}

if [ ! -f "$build/CMakeCache.txt" ]; then
  bash scripts/setup.sh --sanitizers >/dev/null
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DTALLYWARD_BENCH=OFF -DTALLYWARD_SANITIZE=address,undefined -DTALLYWARD_FUZZ=ON >/dev/null
fi
targets=("$@")
if ((${#targets[@]} == 0)); then
  for f in fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_seeds "${targets[@]}"

mkdir -p "$build/seeds"
"$build/fuzz_seeds" examples "$build/seeds"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  limit=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
  echo "== $t (${FUZZ_RUNS:+$FUZZ_RUNS runs}${FUZZ_RUNS:-$seconds s})"
  # The seeds go in as a second corpus folder: read, never written.
  parallel=()
  [ "${FUZZ_JOBS:-1}" -gt 1 ] && parallel=(-fork="$FUZZ_JOBS")
  (cd "$build" && "./$t" "${limit[@]}" "${parallel[@]}" -timeout=25 -rss_limit_mb=2048 -max_len=65536 \
     -print_final_stats=1 "corpus/$t" "seeds/$t")
done
