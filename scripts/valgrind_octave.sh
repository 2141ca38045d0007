#!/usr/bin/env bash
# The Octave suite under valgrind's memcheck. Octave and the libraries it loads
# report errors of their own; this reports only the errors with a module's
# frame in their stack (a .mex file, mexFunction, or a kernels:: function of
# the frame) and fails when there is one. Slow: expect an hour or more.
#
#   scripts/valgrind_octave.sh     log in build/valgrind_octave.log
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if ! command -v valgrind >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends valgrind
fi
mkdir -p build
log=build/valgrind_octave.log
# Octave loads libhwy (through GraphicsMagick and libjxl), whose initialiser
# times the CPU with rdtscp, an instruction valgrind does not run on CPUs that
# do not announce it: the process would die at start. A stand-in for that one
# function, loaded first, keeps the instruction from running.
preload=build/valgrind_hwy_timer.so
printf '#include <stdint.h>\nuint64_t _ZN3hwy8platform15TimerResolutionEv(void) { return 1; }\n' |
  cc -shared -fPIC -O2 -x c -o "$preload" -
source scripts/octave_exit_line.sh
suite=0
without_exit_line env LD_PRELOAD="$PWD/$preload" valgrind --tool=memcheck --num-callers=40 --error-limit=no --log-file="$log" \
  octave-cli --no-gui --no-init-file --quiet \
  --eval "addpath('$PWD/tests/octave'); exit(run_octave_tests())" || suite=$?

# Error records are separated by empty "==pid== " lines; keep those that name
# a module's code.
report=build/valgrind_octave_modules.txt
awk '/^==[0-9]+== *$/ { if (block ~ /\.mex\)|mexFunction|kernels::/) { print block; n++ } block = ""; next }
     { block = block $0 "\n" }
     END { if (block ~ /\.mex\)|mexFunction|kernels::/) { print block; n++ } exit n > 0 }' "$log" >"$report" || true
modules=$(grep -cE '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|Source and|Argument)' "$report" || true)
echo "valgrind: $(grep -m1 'ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== //') (all of Octave's process)"
echo "valgrind: $modules errors with a module's frame (details in $report)"
[ "$suite" -eq 0 ] || { echo "valgrind: the Octave suite failed ($suite)"; exit 1; }
[ "$modules" -eq 0 ]
