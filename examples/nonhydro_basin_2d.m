% NONHYDRO_BASIN_2D  The (1,1) standing mode of a closed square basin at
% k d = 2.5 with the non-hydrostatic correction (nonhydro_basin_case).
%
% On 92 x 92 cells (P2, 101568 pressure unknowns): the wall time of a step
% with the correction and of the hydrostatic step on the same mesh, their
% ratio, and for a short run with the correction the share of the pressure
% solves and the iterations per solve. The period against the model's own
% dispersion relation, w^2 = g d k^2 / (1 + (k d)^2/4), over 0.8 of a period.
%
% Run from the repository root after build_mex:
%   run('examples/nonhydro_basin_2d.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'nonhydro'));

r = nonhydro_basin_case(struct('cells', 92, 'periods', 0.8));
fprintf('Square basin, (1,1) mode, kd = %.2f, %d pressure unknowns\n', r.options.kd, r.unknowns);
fprintf('period %.5f s against %.5f s of the model relation (%+.3f%%)\n', r.period, r.modelPeriod, ...
        100 * (r.period / r.modelPeriod - 1));
fprintf('step with the correction %.3f s, hydrostatic step %.3f s, ratio %.2f\n', r.stepSeconds, ...
        r.hydrostaticStepSeconds, r.ratio);
fprintf('share of the solves %.0f%%, %.1f iterations per solve, %d steps, %.1f s wall time\n', ...
        100 * r.solveShare, r.iterations, r.steps, r.wallTime);
