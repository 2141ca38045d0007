#!/usr/bin/env bash
# The whole test suite: installs dependencies, builds the frame, the host, the
# modules, the GoogleTest suites and the benchmarks, and runs ctest (the Octave
# suite included). With --sanitize: the same suites built with AddressSanitizer
# and UndefinedBehaviorSanitizer, without the Octave suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKERNELS_SANITIZE=ON -DKERNELS_OCTAVE_TESTS=OFF \
        -DKERNELS_BENCHMARKS=OFF >/dev/null
else
  build=build
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure
