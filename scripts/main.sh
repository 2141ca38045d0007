#!/usr/bin/env bash
# The main job: installs dependencies, builds the Octave modules with build_mex
# and runs the example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
octave-cli --no-gui --no-init-file --quiet --eval "build_mex(); run('examples/still_water_2d.m');"
