#!/usr/bin/env bash
# The checks CI runs after the test suite: every test once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, -O1, no benchmarks), the hardening tests (one connection
# shared by threads among them) under ThreadSanitizer, and each fuzz target of fuzz/ for a short
# time. Any finding fails the script.
#
#   bash scripts/sanitize.sh        (FUZZ_SECONDS, default 60, is the time per fuzz target)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --sanitizers >/dev/null
jobs=$(nproc)
export CC=clang CXX=clang++
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Leaks inside the ODBC driver manager and the SQLite ODBC driver are theirs, not ours.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: the test suite"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTALLYWARD_BENCH=OFF \
  -DTALLYWARD_SANITIZE=address,undefined -DTALLYWARD_FUZZ=ON >/dev/null
cmake --build build-asan -j"$jobs"
# The installed package and the Python loader are checked by the normal suite; here the C interface
# runs under the sanitizers through its own test program.
ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^capi\.(python|install_and_consume)$|^odbc\.'
# The ODBC driver manager loads and unloads the SQLite ODBC driver, whose leftovers then belong to no
# module that a suppression could name: the ODBC program runs with every check but the leak check.
ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j"$jobs" -R '^odbc\.'

echo "== ThreadSanitizer: the hardening tests"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTALLYWARD_BENCH=OFF \
  -DTALLYWARD_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target tallyward_hardening_tests
build-tsan/tallyward_hardening_tests

echo "== Fuzzing, ${FUZZ_SECONDS:-60} s per target"
FUZZ_BUILD=build-asan bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
