function r = nonhydro_basin_case(opts)
% NONHYDRO_BASIN_CASE  The (1,1) standing mode of a closed square basin,
% depth d = 1 m, side such that k d = kd (k = sqrt(2) pi / side), on a
% structured mesh of cells x cells squares (two triangles each), run with
% nonhydro_solve, walls all round.
%
%   r = nonhydro_basin_case()        defaults
%   r = nonhydro_basin_case(opts)    opts: struct of any of
%     cells          cells along a side (default 92: with P2, 101568 pressure
%                    unknowns)
%     order          polynomial order N (default 2)
%     kd             (default 2.5)
%     amplitude      over d (default 0.001)
%     periods        run time in periods of the model's relation (default
%                    0: the timed steps only)
%     timedSteps     steps timed with and without the correction (default 3)
%     cfl, gravity   (defaults 0.5, 9.81)
%     correctionPerStep   one correction per step instead of one per stage
%                    (default false; nonhydro_solve)
%     solverTolerance     relative residual of the pressure solve (default:
%                    nonhydro_operators')
%
% The surface starts as amplitude cos(pi x/side) cos(pi y/side), at rest. The
% period is taken from the surface at the corner (0, 0): twice the mean time
% between its zero crossings. Dispersion relation: the model's own,
% w^2 = g d k^2 / (1 + (k d)^2/4).
% r: period, modelPeriod, unknowns, stepSeconds and hydrostaticStepSeconds
% (wall time of one step with and without the correction, the median of
% timedSteps steps: the factorization of the pressure matrix, once per run,
% falls in the first step and is given apart), ratio, cpuRatio (the same
% ratio of the processor time of this process), stepTimes and
% hydrostaticStepTimes (every timed step), solveShare (share of the solves
% in the steps with the correction, the factorization apart), iterations
% (mean per solve), factorizations and factorSeconds (of the pressure
% matrix: the first stage factors its own), steps, wallTime, options. With
% periods > 0, stepSeconds, ratio, cpuRatio and solveShare are those of the
% whole run (the mean step, the factorization included).
  if nargin < 1
    opts = struct();
  end
  opt = struct('cells', 92, 'order', 2, 'kd', 2.5, 'amplitude', 0.001, 'periods', 0, ...
               'timedSteps', 3, 'cfl', 0.5, 'gravity', 9.81, 'correctionPerStep', false, ...
               'solverTolerance', []);
  names = fieldnames(opts);
  for i = 1:numel(names)
    if ~isfield(opt, names{i})
      error('nonhydro_basin_case:unknownOption', 'Unknown option %s.', names{i});
    end
    opt.(names{i}) = opts.(names{i});
  end
  g = opt.gravity;
  d = 1;
  k = opt.kd / d;
  side = sqrt(2) * pi / k;
  w = sqrt(g * d * k ^ 2 / (1 + opt.kd ^ 2 / 4));
  modelPeriod = 2 * pi / w;

  mesh = dg2d_mesh(dg2d_rectangle([0, side], [0, side], opt.cells, opt.cells), opt.order);
  q = zeros(mesh.Np, mesh.K, 4);
  q(:, :, 1) = d + opt.amplitude * cos(pi * mesh.x / side) .* cos(pi * mesh.y / side);
  corner = find(mesh.x(:) == 0 & mesh.y(:) == 0);
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', inf, 'nonhydrostatic', true, ...
               'slopeLimiter', false, 'boundaryTypes', nonhydro_walls(mesh), ...
               'record', @stamp, 'maxSteps', 1e6, 'correctionPerStep', opt.correctionPerStep);
  if ~isempty(opt.solverTolerance)
    run.solverTolerance = opt.solverTolerance;
  end
  clock = tic;
  stamps = [];
  cpuStamps = [];
  function row = stamp(t, q)
    % Surface at the corner; the wall clock and the processor time at every
    % call (after the set-up, then after every step).
    stamps(end + 1) = toc(clock);
    cpuStamps(end + 1) = cputime();
    row = mean(q(corner)) - d;
  end

  % Cost of a step: timedSteps steps with and without the correction, timed
  % between the calls of the record (after the set-up, then after every
  % step); the run ends within the last of them.
  defaults = dg2d_options();
  dt0 = opt.cfl * nonhydro_time_step(q, mesh, defaults.kernels, g, defaults.dryThreshold);
  run.finalTime = (opt.timedSteps - 0.5) * dt0;
  seconds = zeros(1, 2);
  cpuSeconds = zeros(1, 2);
  stepTimes = cell(1, 2);
  for nh = [true, false]
    run.nonhydrostatic = nh;
    stamps = [];
    cpuStamps = [];
    s = nonhydro_solve(mesh, q, run);
    stepTimes{2 - nh} = diff(stamps);
    seconds(2 - nh) = median(diff(stamps));
    cpuSeconds(2 - nh) = median(diff(cpuStamps));
    if nh
      solveShare = (s.solveTime - s.factorTime) / (stamps(end) - stamps(1) - s.factorTime);
      iterations = mean(s.iterations);
      factorizations = s.factorizations;
      factorSeconds = s.factorTime;
    end
  end
  r = struct('modelPeriod', modelPeriod, 'unknowns', mesh.Np * mesh.K, ...
             'stepSeconds', seconds(1), 'hydrostaticStepSeconds', seconds(2), ...
             'ratio', seconds(1) / seconds(2), 'cpuRatio', cpuSeconds(1) / cpuSeconds(2), 'period', NaN, 'solveShare', solveShare, ...
             'iterations', iterations, 'factorizations', factorizations, ...
             'factorSeconds', factorSeconds, 'steps', 0, 'wallTime', 0, 'options', opt, ...
             'stepTimes', stepTimes{1}, 'hydrostaticStepTimes', stepTimes{2});
  if opt.periods > 0
    run.nonhydrostatic = true;
    run.finalTime = opt.periods * modelPeriod;
    stamps = [];
    cpuStamps = [];
    s = nonhydro_solve(mesh, q, run);
    t = s.times;
    eta = s.records;
    cross = find(sign(eta(1:end - 1)) ~= sign(eta(2:end)) & eta(2:end) ~= 0);
    crossTimes = t(cross) - eta(cross) .* (t(cross + 1) - t(cross)) ./ (eta(cross + 1) - eta(cross));
    if numel(crossTimes) >= 2
      r.period = 2 * mean(diff(crossTimes));
    end
    r.iterations = mean(s.iterations);
    r.factorizations = s.factorizations;
    r.factorSeconds = s.factorTime;
    r.steps = s.steps;
    r.wallTime = s.wallTime;
    r.stepSeconds = (stamps(end) - stamps(1)) / s.steps;
    r.solveShare = s.solveTime / (stamps(end) - stamps(1));
    r.ratio = r.stepSeconds / r.hydrostaticStepSeconds;
    r.cpuRatio = (cpuStamps(end) - cpuStamps(1)) / s.steps / cpuSeconds(2);
  end
end
