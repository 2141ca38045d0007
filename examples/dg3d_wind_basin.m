% DG3D_WIND_BASIN  The 3d layered model's wind-driven closed basin, the
% main job's short run of it: 10 sigma layers of vertical order 2, run to
% steady state, against the exact profile and set-up slope (the full table of
% the 3d cases is examples/dg3d_cases.m).
%
% Run from the repository root after build_mex:
%   run('examples/dg3d_wind_basin.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'dg3d'));
r = dg3d_wind_basin_case(10, 2);
fprintf('3d wind-driven basin (10 layers, Nz 2, %d prism nodes): profile error %.3e, set-up error %.3e, mass change %.1e, %d steps, %.1f s\n', ...
        r.nodes, r.profileError, r.setupError, r.massChange, r.steps, r.wallTime);
