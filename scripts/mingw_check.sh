#!/usr/bin/env bash
# Windows compile check, without Windows: the kernel frame, every module listed
# in modules.txt and the stand-alone host compiled (not linked) with MinGW-w64
# against the host header, which catches headers, declarations, attributes and
# printf formats that only Windows compilers reject. Then the BLAS symbol each
# build references: MATLAB's libmwblas on Windows exports dgemm, every other
# BLAS (and libmwblas on Linux and macOS) dgemm_.
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++
nm=x86_64-w64-mingw32-nm
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Printf formats, ignored attributes and the GNU extensions MSVC does not have
# (variable-length arrays, designated initializers before C++20) are errors.
flags=(-std=c++17 -O2 -ffp-contract=off -fno-fast-math -fno-math-errno -Wall -Wextra -Werror=format
       -Werror=attributes -pedantic-errors -Iframe -Ihost)

compiled=0
compile() {  # compile <source> <object> [extra flags...]
  local source=$1 object=$2
  shift 2
  "$cxx" "${flags[@]}" "$@" -c "$source" -o "$object"
  compiled=$((compiled + 1))
}

# The undefined dgemm symbols of an object, one a line.
dgemm_symbols() {  # dgemm_symbols <nm> <object>
  "$1" -u "$2" | awk '{ print $NF }' | grep -E '^_?dgemm_?$' || true
}

expect_dgemm() {  # expect_dgemm <what> <expected> <nm> <object>
  local found
  found=$(dgemm_symbols "$3" "$4" | tr '\n' ' ' | sed 's/ $//')
  if [ "$found" != "$2" ]; then
    echo "mingw_check: $1 references '$found', expected '$2'" >&2
    exit 1
  fi
}

for source in frame/*.cpp; do
  compile "$source" "$out/frame_$(basename "$source" .cpp).o"
done
compile host/kernel_host.cpp "$out/kernel_host.o" -DKERNELS_BUILDING_HOST
while read -r name folder links; do
  case "$name" in '' | '#'*) continue ;; esac
  source="$folder/$name.cpp"
  [ -f "$source" ] || continue
  compile "$source" "$out/$name.o"
  if [ "$links" = blas ]; then
    # The same module as MATLAB's mex builds it on Windows.
    compile "$source" "$out/$name.matlab.o" -DMATLAB_MEX_FILE
    if dgemm_symbols "$nm" "$out/$name.matlab.o" | grep -qx dgemm_; then
      echo "mingw_check: $name built for MATLAB on Windows references dgemm_" >&2
      exit 1
    fi
  fi
done < modules.txt

# The symbol the header selects, per platform: MATLAB on Windows, any other
# Windows build, MATLAB on Linux (the native compiler).
check=tests/blas_symbol_check.cpp
compile "$check" "$out/windows_matlab.o" -DMATLAB_MEX_FILE
expect_dgemm "a MATLAB module for Windows" dgemm "$nm" "$out/windows_matlab.o"
compile "$check" "$out/windows.o"
expect_dgemm "a Windows module outside MATLAB" dgemm_ "$nm" "$out/windows.o"
g++ -std=c++17 -Iframe -DMATLAB_MEX_FILE -c "$check" -o "$out/native_matlab.o"
expect_dgemm "a MATLAB module for Linux" dgemm_ nm "$out/native_matlab.o"

echo "mingw_check: $compiled sources compiled for Windows; dgemm symbols as expected"
