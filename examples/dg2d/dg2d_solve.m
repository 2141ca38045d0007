function result = dg2d_solve(meshes, q, z, opt)
% DG2D_SOLVE  Advance the 2d shallow-water state q (Np x Kall x 3: h, hu,
% hv) over the bed z (Np x Kall) on a mesh, or on meshes joined by
% dg2d_couple (a cell array sharing the state), to opt.finalTime.
%
% opt fields (dg2d_options gives the defaults): gravity, dryThreshold, cfl,
% finalTime, outputTimes (states kept at these times), steps (the run ends
% after that many steps, also before finalTime), maxSteps (more steps than
% that before finalTime is an error), shallowDepth, thinDepth and flux (dg2d_rhs),
% slopeLimiter, kernels, output (NetCDF and VTK files of h, hu, hv and the
% surface eta at the output option's times: output_options) and progress
% (seconds between progress lines, false for none). Bad options, an
% unwritable output file and output times outside the run end the call
% before any work.
%
% Third-order SSP Runge-Kutta; after every stage the slope limiter, the
% positivity limiter and no discharge at dry nodes (dg2d_limit). The step is
% cfl times the smaller of the stable step of time_interval_3d over the
% elements and, on elements at the wet/dry front, the same rule with the
% speed |u| + 2 sqrt(g h) at which water runs onto a dry bed.
%
% result: q (at finalTime), outputs (cell array of states at outputTimes),
% outputTimes, steps, finalTime, minDepth (smallest depth after any stage),
% mass0, mass (at each output time and last at finalTime), wallTime.
  if ~iscell(meshes)
    meshes = {meshes};
  end
  started = tic;
  dg2d_check_options(opt, 'dg2d_solve');
  writer = output_open(opt.output, opt.finalTime, output_grid(meshes), z, ...
                       struct('nodal', {{'h', 'hu', 'hv', 'eta'}}, 'layered', {{}}), ...
                       struct('title', 'Shallow water on a 2d mesh', 'source', sprintf( ...
                              'examples/dg2d/dg2d_solve: nodal DG of order %d on %d triangles', ...
                              meshes{1}.N, size(z, 2))));
  progress = progress_start(opt.progress, opt.finalTime, 'dg2d_solve');
  g = opt.gravity;
  thr = opt.dryThreshold;
  kernels = opt.kernels;
  domain = dg2d_domain(meshes);
  bed = dg2d_bed(z, meshes);
  rhs = @(q) dg2d_rhs(q, bed, meshes, kernels, g, thr, opt.thinDepth, opt.flux);
  q = dg2d_limit(q, z, domain, thr, opt.shallowDepth, opt.slopeLimiter);
  mass0 = dg2d_integral(q(:, :, 1), domain);
  minDepth = min(min(q(:, :, 1)));
  stops = unique([opt.outputTimes(:); writer.times(:); opt.finalTime])';
  outputs = cell(1, numel(opt.outputTimes));
  mass = zeros(1, numel(stops));
  t = 0;
  steps = 0;
  for i = 1:numel(stops)
    while t < stops(i) && steps < opt.steps
      dt = min(opt.cfl * time_step(q, meshes, domain, kernels, g, thr), stops(i) - t);
      q1 = dg2d_limit(q + dt * rhs(q), ...
                      z, domain, thr, opt.shallowDepth, opt.slopeLimiter);
      q2 = dg2d_limit(0.75 * q + 0.25 * (q1 + dt * rhs(q1)), ...
                      z, domain, thr, opt.shallowDepth, opt.slopeLimiter);
      q = dg2d_limit(q / 3 + (2 / 3) * (q2 + dt * rhs(q2)), ...
                     z, domain, thr, opt.shallowDepth, opt.slopeLimiter);
      minDepth = min([minDepth, min(min(q1(:, :, 1))), min(min(q2(:, :, 1))), min(min(q(:, :, 1)))]);
      t = t + dt;
      steps = steps + 1;
      if ~all(isfinite(q(:)))
        error('dg2d_solve:diverged', 'The solution is no longer finite at t = %g s (step %d).', t, steps);
      end
      if steps >= opt.maxSteps && t < opt.finalTime
        error('dg2d_solve:tooManySteps', 'Only at t = %g s after %d steps (last step %g s).', t, steps, dt);
      end
      progress = progress_report(progress, t, steps, dt, ...
                                 @() (dg2d_integral(q(:, :, 1), domain) - mass0) / mass0);
    end
    if steps >= opt.steps
      mass(i:end) = dg2d_integral(q(:, :, 1), domain);
      break;
    end
    t = stops(i);
    mass(i) = dg2d_integral(q(:, :, 1), domain);
    outputs(opt.outputTimes == stops(i)) = {q};
    if any(writer.times == stops(i))
      writer = output_write(writer, t, struct('h', q(:, :, 1), 'hu', q(:, :, 2), 'hv', q(:, :, 3), ...
                                              'eta', q(:, :, 1) + z));
    end
  end
  result = struct('q', q, 'outputTimes', opt.outputTimes, 'steps', steps, 'finalTime', t, ...
                  'minDepth', minDepth, 'mass0', mass0, 'mass', mass, 'wallTime', toc(started));
  result.outputs = outputs;
end

function dt = time_step(q, meshes, domain, kernels, g, thr)
  % time_interval_3d divides u by h on every node of a Wet element; a node
  % at or below the threshold (no discharge there) is handed the threshold
  % as its depth, so its velocity is 0 instead of 0/0.
  h = q(:, :, 1);
  wet = h > thr;
  dt = inf;
  for m = 1:numel(meshes)
    mesh = meshes{m};
    cols = mesh.offset + (1:mesh.K);
    status = int8(4 + ~any(wet(:, cols), 1));
    hk = max(h(:, cols), thr);
    elementLength = 2 * mesh.inradius;
    dt = min(dt, kernels.time_interval_3d([], g, mesh.N, elementLength, status, ...
                                          cat(3, hk, q(:, cols, 2), q(:, cols, 3))));
    % Elements at the front: a dry node of their own or across a face.
    dryAcross = reshape(any(~wet(mesh.mapP), 1), 3, mesh.K);
    front = any(wet(:, cols), 1) & (any(~wet(:, cols), 1) | any(dryAcross, 1));
    if any(front)
      k = cols(front);
      speed = sqrt(q(:, k, 2) .^ 2 + q(:, k, 3) .^ 2) ./ hk(:, front) + 2 * sqrt(g * hk(:, front));
      dt = min(dt, min(min((elementLength(front) ./ speed) / (2 * mesh.N + 1))));
    end
  end
end

function grid = output_grid(meshes)
  % The nodes of every mesh in the state's order, for the output files.
  x = zeros(meshes{1}.Np, 0);
  y = x;
  for m = 1:numel(meshes)
    x(:, meshes{m}.offset + (1:meshes{m}.K)) = meshes{m}.x;
    y(:, meshes{m}.offset + (1:meshes{m}.K)) = meshes{m}.y;
  end
  grid = output_grid_triangles(x, y, meshes{1}.N);
end
