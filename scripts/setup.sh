#!/usr/bin/env bash
# Installs what building and testing the kernels needs, from Debian's packages:
# compiler, CMake, GoogleTest, Google Benchmark, Octave with its headers, the
# 64-bit-integer OpenBLAS, gnuplot with Octave's font for the examples'
# headless plots, gmsh, which makes the 2d example's mesh from its .geo, the
# netcdf package the examples write their NetCDF files with, and the readers
# the tests check those files and the VTK files with (ncdump, Python's
# netCDF4 and VTK).
# Skips apt-get when everything is there already.
set -euo pipefail
packages=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev octave liboctave-dev libopenblas64-dev gnuplot-nox fonts-freefont-otf gmsh)
packages+=(octave-netcdf netcdf-bin python3-netcdf4 python3-vtk9)
missing=()
# MinGW-w64, for the Windows compile check (scripts/mingw_check.sh).
packages+=(g++-mingw-w64-x86-64)
# clang with libFuzzer and its sanitizers, for scripts/fuzz.sh.
packages+=(clang libclang-rt-14-dev)
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
