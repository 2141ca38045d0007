% NONHYDRO_BASIN_2D  The (1,1) standing mode of a closed square basin at
% k d = 2.5 with the non-hydrostatic correction (nonhydro_basin_case).
%
% Cost on 92 x 92 cells (P2, 101568 pressure unknowns): the wall time of a
% step with the correction and of the hydrostatic step on the same mesh
% (medians of 10 steps), their ratio, the share of the pressure solves in
% the step with the correction and the iterations per solve, with the
% correction after every Runge-Kutta stage (the default) and after the last
% stage only (option correctionPerStep). The pressure matrix is factored
% once per run, at the first stage (later solves take that factor as the
% preconditioner of GMRES): its time is given apart. The period, against the
% model's own dispersion relation w^2 = g d k^2 / (1 + (k d)^2/4), over 0.8
% of a period on 16 x 16 cells (3072 unknowns), with the correction after
% every stage and after the last stage only: a period on the large mesh is
% some 3500 steps.
%
% Run from the repository root after build_mex:
%   run('examples/nonhydro_basin_2d.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'nonhydro'));

steps = 10;
fprintf('Square basin, (1,1) mode, kd = 2.50\n');
after = {'every stage', 'the last stage only'};
for perStep = [false, true]
  r = nonhydro_basin_case(struct('cells', 92, 'periods', 0, 'timedSteps', steps, 'correctionPerStep', perStep));
  fprintf('%d unknowns, correction after %s: step %.3f s, hydrostatic step %.3f s, ratio %.1f (processor time %.1f)\n', ...
          r.unknowns, after{perStep + 1}, r.stepSeconds, r.hydrostaticStepSeconds, r.ratio, r.cpuRatio);
  fprintf('  solves %.0f%% of the step, %.1f iterations per solve; once per run: factorization %.1f s\n', ...
          100 * r.solveShare, r.iterations, r.factorSeconds);
end
for perStep = [false, true]
  c = nonhydro_basin_case(struct('cells', 16, 'periods', 0.8, 'timedSteps', 1, 'correctionPerStep', perStep));
  fprintf('%d unknowns, correction after %s: period %.5f s against %.5f s of the model relation (%+.3f%%), %d steps\n', ...
          c.unknowns, after{perStep + 1}, c.period, c.modelPeriod, 100 * (c.period / c.modelPeriod - 1), c.steps);
  fprintf('  step with the correction %.3f s, share of the solves %.0f%%, %.1f iterations per solve\n', ...
          c.stepSeconds, 100 * c.solveShare, c.iterations);
end
