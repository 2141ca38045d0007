#!/usr/bin/env bash
# The main job: installs dependencies, builds the Octave modules with build_mex
# and runs the examples: the still-water fluxes, then the 1d dam break onto a
# dry bed (errors against the exact solution, mass, depth, wall time, and a
# PNG plot at examples/dam_break_1d.png), then the 2d wet/dry solver: a lake
# at rest around an island, and Thacker's bowl at three resolutions and on two
# joined meshes (PNG plot at examples/thacker_bowl_2d.png; the finest run's
# NetCDF file examples/output/thacker_bowl_2d.nc and VTK series
# examples/output/thacker_bowl_2d.pvd), and last the 3d layered model's
# wind-driven basin against its exact profile and set-up.
# Octave's closing line "error: ignoring const execution_exception& while
# preparing to exit", printed by every run, is filtered out (and only that).
# Octave runs with the C library's allocator keeping freed blocks in its heap:
# by default a block above its threshold is mapped afresh and faulted in page
# by page on every allocation, which on a virtual machine makes the examples'
# many mid-sized temporaries several times slower than their arithmetic.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/octave_exit_line.sh
without_exit_line env GLIBC_TUNABLES=glibc.malloc.mmap_max=0:glibc.malloc.trim_threshold=4294967295 octave-cli --no-gui --no-init-file --quiet --eval "build_mex(); run('examples/still_water_2d.m'); run('examples/dam_break_1d.m'); run('examples/lake_at_rest_2d.m'); run('examples/thacker_bowl_2d.m'); run('examples/dg3d_wind_basin.m');"
