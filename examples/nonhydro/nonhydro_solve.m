function result = nonhydro_solve(mesh, q, opt)
% NONHYDRO_SOLVE  Advance the depth-averaged non-hydrostatic shallow-water
% state q (Np x K x 4: h, hu, hv, hw) over the bed opt.bed (Np x K; a
% flat bed at 0 where the field is absent) on one mesh of the 2d solver
% (dg2d_mesh) to opt.finalTime.
%
% opt fields: gravity, cfl, finalTime, nonhydrostatic (false runs the same
% case hydrostatically: hw is then neither advected nor corrected),
% slopeLimiter (the 2d solver's, for a hydrostatic run that forms a bore),
% boundaryTypes (int8 code of every boundary face of the mesh, in face order:
% 2 to 7 wall, 8 incident wave, 9 and 13 radiation; nonhydro_operators),
% record (function of t and q returning a row, called at t = 0 and after
% every step), maxSteps; optional: bed, pressureFreeDepth (default 0.01 m:
% an element with a node shallower than that has no pressure unknown; it is
% PressureFree, and so is every element of a dry or partly dry front),
% breaking (default false: with true, elements where the surface rises faster
% than 0.6 sqrt(g h) become PressureFree, nonhydro_breaking),
% filmDepth (default 0: off; an element whose mean depth is below it carries
% no discharge and no hw after each stage: the film a bore throws ahead of
% itself onto a dry beach stops instead of running up it),
% manning (Manning's n of the bed in s/m^(1/3), default 0: frictionless),
% incident (function [eta, u, v] = incident(x, y, t) of the wave that
% enters through faces of code 8), relax (function q = relax(t, q) applied
% to the state after every step: relaxation zones that generate or absorb
% waves),
% pressureBed (the bed the pressure step sees, default bed; [] leaves the
% bed terms out of it, a check of what they do), stopTimes (times the steps
% end on, so that opt.record sees them), iterativeFrom (unknowns from which
% the pressure system is solved iteratively, default 0: always),
% solverTolerance (relative residual of that solve, nonhydro_operators),
% correctionPerStep (default false: with true the pressure correction
% follows the last Runge-Kutta stage only, the hydrostatic step and then one
% projection per time step, as in Stelling and Zijlema 2003 and Yamazaki,
% Kowalik and Cheung 2009; first order in time in the non-hydrostatic
% part), output (NetCDF
% and VTK files of h, hu, hv, hw and eta: see output_options in
% examples/common) and progress (seconds between progress lines, false for
% none). A value the solver cannot run with, an unwritable output file or
% output times outside the run end the call before any work.
%
% Third-order SSP Runge-Kutta of the hydrostatic equations (dg2d_rhs) and of
% the advection of hw (nonhydro_vertical_rhs). Each stage, once combined, is
% limited as in the 2d solver (dg2d_limit: slope limiter when asked,
% positivity, one velocity in shallow elements, no discharge at dry nodes)
% then, with manning > 0, slowed by bed friction, and then corrected
% (nonhydro_pressure_step), so the correction finds a
% non-negative depth; it changes only Wet elements, which have no shallow or
% dry node. The status of each
% element is taken per stage from the limited depth. The step is cfl times
% that of nonhydro_time_step (time_interval_3d, and the speed of water running
% onto a dry bed at the front).
%
% result: q at finalTime, times and records (one row per call of opt.record),
% steps, finalTime, mass0 and mass (total water at 0 and at finalTime),
% minDepth (smallest nodal depth after any stage),
% wallTime, cpuTime (of this process: on a shared machine the wall time also
% counts the waits), correctionTime (spent in the pressure correction:
% assembly and solve), solveTime (in the sparse solves alone), iterations
% (of each solve, 0 for a direct one), factorizations and factorTime (of
% the pressure matrix in the iterative solve, counted in solveTime) and
% unknowns (Np*K).
  started = tic;
  cpuStarted = cputime();
  [output, progressSeconds] = check_options(opt);
  g = opt.gravity;
  % Dry threshold, shallow depth of the limiters and the modules of the
  % hydrostatic part: the 2d solver's own defaults.
  defaults = dg2d_options();
  thr = defaults.dryThreshold;
  kernels2d = defaults.kernels;
  kernels = dg2d_kernels('modules', {'upwind_flux_2d', 'nonhydro_vertical_volume_flux', ...
                         'nonhydro_vertical_face_flux', 'downwind_flux_2d', 'boundary_type', ...
                         'element_boundary_condition', ...
                         'boundary_primitive_flux', 'penalty_parameter', 'inner_edge_strong_rhs', ...
                         'point_to_cell_info'});
  ops = nonhydro_operators(mesh, kernels, opt.boundaryTypes);
  if isfield(opt, 'iterativeFrom')
    ops.iterativeFrom = opt.iterativeFrom;
  end
  if isfield(opt, 'solverTolerance')
    ops.solverTolerance = opt.solverTolerance;
  end
  domain = dg2d_domain({mesh});
  z = zeros(mesh.Np, mesh.K);
  if isfield(opt, 'bed')
    z = opt.bed;
  end
  pressureFreeDepth = 0.01;
  if isfield(opt, 'pressureFreeDepth')
    pressureFreeDepth = opt.pressureFreeDepth;
  end
  bed = dg2d_bed(z, {mesh});
  filmDepth = 0;
  if isfield(opt, 'filmDepth')
    filmDepth = opt.filmDepth;
  end
  meanWeights = domain.weights' / sum(domain.weights);
  manning = 0;
  if isfield(opt, 'manning')
    manning = opt.manning;
  end
  writer = output_open(output, opt.finalTime, output_grid_triangles(mesh.x, mesh.y, mesh.N), z, ...
                       struct('nodal', {{'h', 'hu', 'hv', 'hw', 'eta'}}, 'layered', {{}}), ...
                       struct('title', 'Depth-averaged non-hydrostatic shallow water', 'source', sprintf( ...
                              'examples/nonhydro/nonhydro_solve: nodal DG of order %d on %d triangles', ...
                              mesh.N, mesh.K)));
  progress = progress_start(progressSeconds, opt.finalTime, 'nonhydro_solve');
  pressureBed = bed;
  if isfield(opt, 'pressureBed') && isempty(opt.pressureBed)
    pressureBed = [];
  end
  pressureSolver = struct('factor', [], 'active', [], 'factorizations', 0, 'factorTime', 0);
  stopTimes = [];
  if isfield(opt, 'stopTimes')
    stopTimes = sort(opt.stopTimes(:))';
  end
  minDepth = min(min(q(:, :, 1)));
  incident = [];
  if isfield(opt, 'incident')
    incident = opt.incident;
  end
  breaking = false(1, mesh.K);
  breakingOn = isfield(opt, 'breaking') && opt.breaking;
  everyStage = ~(isfield(opt, 'correctionPerStep') && opt.correctionPerStep);
  F = mesh.faces;
  boundary = find(F.kind == 1);
  firstBoundary = nnz(F.kind == 0);
  faceZ = z(F.mapM(:, boundary));
  faceX = mesh.x(F.mapM(:, boundary));
  faceY = mesh.y(F.mapM(:, boundary));
  anyOpen = any(~ops.wallMask(:));
  solveTime = 0;
  correctionTime = 0;
  % p of each stage at the last two steps (the latest last), dt of the last.
  pressures = cell(1, 3);
  lastDt = 0;
  iterations = [];

  function [qP, open] = exterior(m, faces, qM, nx, ny, time)
    % State across the open faces among the boundary faces given.
    b = faces - firstBoundary;
    [qP, open] = nonhydro_boundary_state(qM, nx, ny, ops.boundaryTypes(b), faceZ(:, b), ...
                                         faceX(:, b), faceY(:, b), time, g, incident);
  end

  function r = rhs(q, time)
    % Right-hand side of h, hu, hv (dg2d_rhs) and of hw (its advection, or
    % nothing in a hydrostatic run).
    if anyOpen
      across = @(m, faces, qM, nx, ny) exterior(m, faces, qM, nx, ny, time);
      r = dg2d_rhs(q(:, :, 1:3), bed, {mesh}, kernels2d, g, thr, 0.2, 'llf', across);
    else
      r = dg2d_rhs(q(:, :, 1:3), bed, {mesh}, kernels2d, g, thr);
    end
    if opt.nonhydrostatic
      if anyOpen
        traces = q(F.mapM(:, boundary) + cat(3, 0, 1, 2) * numel(z));
        [qP, open] = exterior(1, boundary, traces, F.normalX(:, boundary), F.normalY(:, boundary), time);
        r = cat(3, r, nonhydro_vertical_rhs(q, mesh, ops, kernels, status(q), qP, open));
      else
        r = cat(3, r, nonhydro_vertical_rhs(q, mesh, ops, kernels, status(q)));
      end
    else
      r = cat(3, r, zeros(mesh.Np, mesh.K));
    end
  end

  function q = finish(q, dt, stage)
    % The limiters and, for a stage above 0, the correction of that
    % Runge-Kutta stage. The corrected state does not depend on dt (p
    % scales as 1/dt), so the correction of the stage's combined state is
    % the projection of that state.
    q(:, :, 1:3) = dg2d_limit(q(:, :, 1:3), z, domain, thr, defaults.shallowDepth, opt.slopeLimiter);
    if filmDepth > 0
      % Velocity cut-off in thin elements (as the wet tolerance of Vater,
      % Beisiegel and Behrens 2019, Int. J. Numer. Methods Fluids 90): a
      % film whose mean depth is below filmDepth keeps its water but not its
      % momentum.
      q(:, meanWeights * q(:, :, 1) < filmDepth, 2:4) = 0;
    end
    if manning > 0
      % Bed friction of Manning's law, -g n^2 |u| (hu, hv) / h^(4/3), taken
      % implicitly in the discharge and explicitly in |u| and h (the
      % semi-implicit friction of depth-integrated models, as in Yamazaki,
      % Kowalik and Cheung 2009): it only slows the flow, never reverses it,
      % however thin the water. Nodes at or below the dry threshold keep
      % their discharge; h is unchanged, and so is the mass.
      at = find(q(:, :, 1) > thr);
      h = q(at);
      hu = q(at + numel(z));
      hv = q(at + 2 * numel(z));
      factor = 1 + dt * g * manning ^ 2 * sqrt(hu .^ 2 + hv .^ 2) ./ (h .* h .^ (4 / 3));
      q(at + numel(z)) = hu ./ factor;
      q(at + 2 * numel(z)) = hv ./ factor;
    end
    if opt.nonhydrostatic && stage > 0
      correcting = tic;
      % The solve starts from p of the same stage at the last two steps,
      % extrapolated linearly in time (after one step, that step's p): p
      % changes little over a step, so the iterations only take up the change.
      last = pressures{stage};
      pressureSolver.guess = last;
      if size(last, 2) == 2
        pressureSolver.guess = last(:, 2) + (dt / lastDt) * (last(:, 2) - last(:, 1));
      end
      [q, seconds, its, pressureSolver] = nonhydro_pressure_step(q, dt, mesh, ops, kernels, status(q), ...
                                                                 pressureBed, pressureSolver);
      pressures{stage} = [last(:, max(1, end):end), pressureSolver.pressure];
      correctionTime = correctionTime + toc(correcting);
      solveTime = solveTime + seconds;
      iterations(end + 1) = its;
    end
  end

  function s = status(q)
    % Wet (4) where every node is deeper than pressureFreeDepth and the
    % wave does not break, else PressureFree (7).
    s = int8(4 + 3 * (any(q(:, :, 1) <= pressureFreeDepth, 1) | breaking));
  end

  q(:, :, 1:3) = dg2d_limit(q(:, :, 1:3), z, domain, thr, defaults.shallowDepth, opt.slopeLimiter);
  mass0 = dg2d_integral(q(:, :, 1), domain);
  t = 0;
  steps = 0;
  times = t;
  records = opt.record(t, q);
  writer = write_due(writer, t, q, z);
  while t < opt.finalTime
    dt = opt.cfl * nonhydro_time_step(q, mesh, kernels2d, g, thr);
    dt = min([dt, opt.finalTime - t, stopTimes(stopTimes > t) - t, writer.times(writer.times > t) - t]);
    r1 = rhs(q, t);
    if breakingOn
      breaking = nonhydro_breaking(q(:, :, 1), r1(:, :, 1), breaking, mesh, g, thr);
    end
    q1 = finish(q + dt * r1, dt, everyStage);
    q2 = finish(0.75 * q + 0.25 * (q1 + dt * rhs(q1, t + dt)), dt, 2 * everyStage);
    q = finish(q / 3 + (2 / 3) * (q2 + dt * rhs(q2, t + dt / 2)), dt, 3);
    lastDt = dt;
    minDepth = min([minDepth, min(min(q1(:, :, 1))), min(min(q2(:, :, 1))), min(min(q(:, :, 1)))]);
    t = t + dt;
    if isfield(opt, 'relax')
      q = opt.relax(t, q);
    end
    steps = steps + 1;
    times(end + 1, 1) = t;
    records(end + 1, :) = opt.record(t, q);
    if ~all(isfinite(q(:)))
      error('nonhydro_solve:diverged', 'The solution is no longer finite at t = %g s (step %d).', t, steps);
    end
    if steps >= opt.maxSteps && t < opt.finalTime
      error('nonhydro_solve:tooManySteps', 'Only at t = %g s after %d steps.', t, steps);
    end
    writer = write_due(writer, t, q, z);
    progress = progress_report(progress, t, steps, dt, ...
                               @() (dg2d_integral(q(:, :, 1), domain) - mass0) / mass0);
  end
  result = struct('q', q, 'times', times, 'records', records, 'steps', steps, 'finalTime', t, ...
                  'mass0', mass0, 'mass', dg2d_integral(q(:, :, 1), domain), 'minDepth', minDepth, ...
                  'wallTime', toc(started), 'cpuTime', cputime() - cpuStarted, ...
                  'solveTime', solveTime, ...
                  'correctionTime', correctionTime, 'iterations', iterations, ...
                  'factorizations', pressureSolver.factorizations, 'factorTime', pressureSolver.factorTime, ...
                  'unknowns', mesh.Np * mesh.K);
end

function [output, progress] = check_options(opt)
  % The options a run needs, checked before any work; the output and
  % progress options ([] and false where not given).
  addpath(fullfile(fileparts(fileparts(mfilename('fullpath'))), 'common'));
  scalar = @(v) isnumeric(v) && isscalar(v) && isreal(v);
  rules = {'gravity', @(v) scalar(v) && isfinite(v) && v > 0, 'a positive number'; ...
           'cfl', @(v) scalar(v) && isfinite(v) && v > 0, 'a positive number'; ...
           'finalTime', @(v) scalar(v) && isfinite(v) && v >= 0, 'a number of seconds >= 0'; ...
           'maxSteps', @(v) scalar(v) && v > 0, 'a positive number'};
  for i = 1:size(rules, 1)
    if ~isfield(opt, rules{i, 1}) || ~rules{i, 2}(opt.(rules{i, 1}))
      error(['nonhydro_solve:' rules{i, 1}], '%s must be %s.', rules{i, 1}, rules{i, 3});
    end
  end
  if isfield(opt, 'filmDepth') && ~(scalar(opt.filmDepth) && isfinite(opt.filmDepth) && opt.filmDepth >= 0)
    error('nonhydro_solve:filmDepth', 'filmDepth must be a depth >= 0.');
  end
  if isfield(opt, 'solverTolerance') && ~(scalar(opt.solverTolerance) && opt.solverTolerance > 0 ...
                                           && opt.solverTolerance < 1)
    error('nonhydro_solve:solverTolerance', 'solverTolerance must be a relative residual in (0, 1).');
  end
  if isfield(opt, 'manning') && ~(scalar(opt.manning) && isfinite(opt.manning) && opt.manning >= 0)
    error('nonhydro_solve:manning', 'manning must be a number >= 0 (s/m^(1/3)).');
  end
  output = [];
  if isfield(opt, 'output')
    output = opt.output;
  end
  output_options(output, opt.finalTime);
  progress = false;
  if isfield(opt, 'progress')
    progress = opt.progress;
  end
end

function writer = write_due(writer, t, q, z)
  % The state to the output files if t is the next output time.
  if writer.active && writer.written < numel(writer.times) && t == writer.times(writer.written + 1)
    writer = output_write(writer, t, struct('h', q(:, :, 1), 'hu', q(:, :, 2), 'hv', q(:, :, 3), ...
                                            'hw', q(:, :, 4), 'eta', q(:, :, 1) + z));
  end
end
