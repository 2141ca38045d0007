function result = nonhydro_solve(mesh, q, opt)
% NONHYDRO_SOLVE  Advance the depth-averaged non-hydrostatic shallow-water
% state q (Np x K x 4: h, hu, hv, hw) over a flat bed on one mesh of the 2d
% solver (dg2d_mesh) to opt.finalTime.
%
% opt fields: gravity, cfl, finalTime, nonhydrostatic (false runs the same
% case hydrostatically: hw is then neither advected nor corrected),
% slopeLimiter (the 2d solver's, for a hydrostatic run that forms a bore),
% boundaryTypes (int8 code of every wall face of the mesh, in face order),
% record (function of t and q returning a row, called at t = 0 and after
% every step), maxSteps; optional: output (NetCDF and VTK files of h, hu, hv,
% hw and eta: see output_options in examples/common) and progress (seconds
% between progress lines, false for none). A value the solver cannot run
% with, an unwritable output file or output times outside the run end the
% call before any work.
%
% Third-order SSP Runge-Kutta. Each stage is a forward-Euler step of length dt
% of the hydrostatic equations (dg2d_rhs) and of the advection of hw
% (nonhydro_vertical_rhs), followed by the pressure correction
% (nonhydro_pressure_step); the stages are then combined as usual. The step
% is cfl times that of time_interval_3d.
%
% result: q at finalTime, times and records (one row per call of opt.record),
% steps, finalTime, mass0 and mass (total water at 0 and at finalTime),
% wallTime, cpuTime (of this process: on a shared machine the wall time also
% counts the waits), correctionTime (spent in the pressure correction:
% assembly and solve), solveTime (in the sparse solves alone) and unknowns
% (Np*K).
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
                         'boundary_primitive_flux', 'penalty_parameter', 'inner_edge_strong_rhs'});
  ops = nonhydro_operators(mesh, kernels, opt.boundaryTypes);
  domain = dg2d_domain({mesh});
  z = zeros(mesh.Np, mesh.K);
  bed = dg2d_bed(z, {mesh});
  writer = output_open(output, opt.finalTime, output_grid_triangles(mesh.x, mesh.y, mesh.N), z, ...
                       struct('nodal', {{'h', 'hu', 'hv', 'hw', 'eta'}}, 'layered', {{}}), ...
                       struct('title', 'Depth-averaged non-hydrostatic shallow water', 'source', sprintf( ...
                              'examples/nonhydro/nonhydro_solve: nodal DG of order %d on %d triangles', ...
                              mesh.N, mesh.K)));
  progress = progress_start(progressSeconds, opt.finalTime, 'nonhydro_solve');
  cellStatus = int8(4 * ones(1, mesh.K));
  solveTime = 0;
  correctionTime = 0;

  function q = euler(q, dt)
    % One forward-Euler stage and its correction.
    hydrostatic = dg2d_rhs(q(:, :, 1:3), bed, {mesh}, kernels2d, g, thr);
    if opt.nonhydrostatic
      vertical = nonhydro_vertical_rhs(q, mesh, ops, kernels, cellStatus);
      q = q + dt * cat(3, hydrostatic, vertical);
      correcting = tic;
      [q, seconds] = nonhydro_pressure_step(q, dt, mesh, ops, kernels, cellStatus);
      correctionTime = correctionTime + toc(correcting);
      solveTime = solveTime + seconds;
    else
      q(:, :, 1:3) = dg2d_limit(q(:, :, 1:3) + dt * hydrostatic, z, domain, thr, ...
                                 defaults.shallowDepth, opt.slopeLimiter);
    end
  end

  mass0 = dg2d_integral(q(:, :, 1), domain);
  t = 0;
  steps = 0;
  times = t;
  records = opt.record(t, q);
  stops = [writer.times(writer.times > 0), opt.finalTime];
  writer = write_due(writer, t, q, z);
  while t < opt.finalTime
    dt = opt.cfl * kernels2d.time_interval_3d([], g, mesh.N, 2 * mesh.inradius, cellStatus, q(:, :, 1:3));
    dt = min(dt, stops(find(stops > t, 1)) - t);
    q1 = euler(q, dt);
    q2 = 0.75 * q + 0.25 * euler(q1, dt);
    q = q / 3 + (2 / 3) * euler(q2, dt);
    t = t + dt;
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
                  'mass0', mass0, 'mass', dg2d_integral(q(:, :, 1), domain), ...
                  'wallTime', toc(started), 'cpuTime', cputime() - cpuStarted, ...
                  'solveTime', solveTime, ...
                  'correctionTime', correctionTime, 'unknowns', mesh.Np * mesh.K);
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
