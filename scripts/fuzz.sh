#!/usr/bin/env bash
# Fuzzing: builds every module with clang's AddressSanitizer and
# UndefinedBehaviorSanitizer and a libFuzzer target for each (in build-fuzz/),
# then runs the targets one after another, each from its seed corpus in
# fuzz/corpus/<module>/ (new inputs go to build-fuzz/corpus/<module>/, what
# fails to build-fuzz/findings/).
#
#   scripts/fuzz.sh                   about 10 s per module (CI)
#   scripts/fuzz.sh --long N          a long campaign: N executions per module, niced
#   scripts/fuzz.sh [...] module...   only these modules
#
# Fails when any target reports a sanitizer error, a contract violation, a
# crash, a leak or a timeout.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=0
if [ "${1:-}" = "--long" ]; then
  runs=${2:?--long needs the number of executions per module}
  shift 2
fi
if [ $# -gt 0 ]; then
  modules=("$@")
else
  mapfile -t modules < <(awk '/^[a-z]/ {print $1}' modules.txt)
fi

bash scripts/setup.sh
build=build-fuzz
# One target for all the modules' fuzz targets, so that they build in parallel.
selected=$(IFS=';'; echo "${modules[*]}")
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKERNELS_FUZZ=ON \
      -DKERNELS_OCTAVE_TESTS=OFF -DKERNELS_BENCHMARKS=OFF -DKERNELS_FUZZ_MODULES="$selected" >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_selected

# A small quarantine and no fill of new blocks: the calls are many and small.
export ASAN_OPTIONS=quarantine_size_mb=4:max_malloc_fill_size=0:malloc_context_size=8
export UBSAN_OPTIONS=print_stacktrace=1
mkdir -p "$build/findings"
failed=()
for m in "${modules[@]}"; do
  mkdir -p "$build/corpus/$m" "fuzz/corpus/$m"
  if [ "$runs" -gt 0 ]; then
    limits=(-runs="$runs")
    run=(nice -n 19)
  else
    limits=(-max_total_time=10)
    run=()
  fi
  log="$build/findings/$m.log"
  if "${run[@]}" "$build/fuzz/fuzz_$m" "${limits[@]}" -max_len=1024 -timeout=20 -print_final_stats=1 \
       -artifact_prefix="$build/findings/$m-" "$build/corpus/$m" "fuzz/corpus/$m" >"$log" 2>&1; then
    echo "fuzz $m: $(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs," \
         "$(grep -m1 '^stat::average_exec_per_sec' "$log" | awk '{print $2}')/s, no finding"
  else
    echo "fuzz $m: FAILED, see $log"
    grep -E 'ERROR|contract violation|runtime error|SUMMARY' "$log" | head -5 || true
    failed+=("$m")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}"
  exit 1
fi
echo "fuzz: ${#modules[@]} modules, no finding"
