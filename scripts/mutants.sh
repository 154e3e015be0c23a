#!/usr/bin/env bash
# Mutation check: applies each mutant of scripts/mutants.txt to the sources (one at a time), rebuilds
# the test programs it names, runs them, and reports whether the tests noticed (killed) or not
# (survived). The sources are restored after every mutant, also when the script is interrupted.
#
#   bash scripts/mutants.sh            every mutant
#   bash scripts/mutants.sh 3 7        mutants 3 and 7 only
#
# Builds into build-mutants/ (configured on first use). A mutant whose text is no longer found, or
# found more than once, is reported as stale: fix its line in mutants.txt.
set -uo pipefail
cd "$(dirname "$0")/.."
list=scripts/mutants.txt
build=build-mutants
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))   # the machine is shared: two jobs at most
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTALLYWARD_BENCH=OFF \
    $(command -v ninja >/dev/null && echo -G Ninja) \
    $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null ||
    { echo "cannot configure $build" >&2; exit 2; }
fi

# Runs the test programs of the areas given; the C interface's program runs every case without an
# argument. Fails when one of them fails.
run_areas() {
  local t
  for t in "$@"; do
    if [ "$t" = capi ]; then (cd "$build" && ./tallyward_capi_tests) >/dev/null 2>&1 || return 1
    else (cd "$build" && "./tallyward_${t}_tests" --gtest_brief=1) >/dev/null 2>&1 || return 1; fi
  done
}
targets_of() { local t; for t in "$@"; do printf -- '--target\0tallyward_%s_tests\0' "$t"; done; }

backup=""
target_file=""
restore() { [ -n "$backup" ] && cp "$backup" "$target_file" && rm -f "$backup"; backup=""; }
trap restore EXIT
trap 'restore; exit 130' INT TERM

# The unmutated tree must build and pass, or every mutant would count as killed.
all_areas=$(awk -F'\t' '!/^#/ && NF >= 4 { print $4 }' "$list" | tr ' ' '\n' | sort -u | tr '\n' ' ')
mapfile -d '' base_targets < <(targets_of $all_areas)
if ! cmake --build "$build" -j"$jobs" "${base_targets[@]}" >/dev/null 2>&1 || ! run_areas $all_areas; then
  echo "the unmutated sources do not build or their tests fail: fix that first" >&2; exit 2
fi

killed=0; survived=0; stale=0; n=0
declare -a survivors=()
while IFS=$'\t' read -r file from to tests why; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  n=$((n + 1))
  if (($# > 0)); then
    wanted=0; for w in "$@"; do [ "$w" = "$n" ] && wanted=1; done
    ((wanted)) || continue
  fi
  # Texts in the list write a line break as \n and a backslash as \\.
  decode='import re,sys; d=lambda t: re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), t)'
  count=$(python3 -c "$decode"'
print(open(sys.argv[1], encoding="utf-8").read().count(d(sys.argv[2])))' "$file" "$from")
  if [ "$count" != 1 ]; then
    echo "stale    #$n $file: the text occurs $count times: $from"
    stale=$((stale + 1)); continue
  fi
  target_file="$file"; backup=$(mktemp); cp "$file" "$backup"
  python3 -c "$decode"'
p, a, b = sys.argv[1], d(sys.argv[2]), "" if sys.argv[3] == "(deleted)" else d(sys.argv[3])
s = open(p, encoding="utf-8").read()
open(p, "w", encoding="utf-8").write(s.replace(a, b, 1))' "$file" "$from" "$to"
  mapfile -d '' targets < <(targets_of $tests)
  if ! cmake --build "$build" -j"$jobs" "${targets[@]}" >/dev/null 2>&1; then
    echo "killed   #$n (does not build) $why"; killed=$((killed + 1)); restore; continue
  fi
  if ! run_areas $tests; then
    echo "killed   #$n $why"; killed=$((killed + 1))
  else
    echo "SURVIVED #$n $file: $why"; survived=$((survived + 1)); survivors+=("#$n $why")
  fi
  restore
done <"$list"
echo "mutants: $((killed + survived)) run, $killed killed, $survived survived, $stale stale"
((survived == 0))
