function [state, info] = dg3d_solve(mesh, state, opt, kernels)
% DG3D_SOLVE  Time loop of the 3d hydrostatic layered solver on the prism
% mesh (dg3d_mesh) from state.eta (Np2 x K2) and state.u (Np x K x 2, the
% horizontal velocity of every prism node), options opt (dg3d_options),
% kernels (dg2d_kernels handles to the modules or their plain twins).
%
% Each step, of length dt = cfl times time_interval_3d on the 3d fields
% (H, H u, H v), bounded in the explicit variant by the viscous limit and
% for a bed friction by its explicit limit:
%   1. eta += dt * (-div U) (dg3d_continuity_rhs), then the geometry follows;
%   2. the explicit forcing E: -g grad eta at the new surface
%      (dg3d_pressure_rhs), the body force, the wind stress and a bed
%      friction lifted into the surface and bed layers;
%   3. implicit: on every vertical line, W = u + i v,
%      (I - theta dt M) W_new = (I + (1 - theta) dt M) W + dt E with
%      M = A / H^2 - i f (A the vertical viscosity of
%      dg3d_vertical_operator, assembled by the modules), solved in A's
%      eigenvector basis for all lines at once; explicit: u += dt (E + the
%      viscous term of dg3d_vertical_rhs + Coriolis).
% A steady state of this step is one of the equations for any theta.
% Output (opt.output, output_options): the total depth h, the surface eta
% and the bed z per triangle node, and the velocities u, v of every layer,
% with sigma (the ocean_sigma_coordinate), at the output times, onto which
% the run steps exactly; a run that stops earlier (steady state, maxSteps)
% writes its last state as the last record. opt.progress: seconds between
% progress lines (progress_start). Bad options end the call before any work
% with a dg3d_solve:<option> or output_options:<reason> error.
% info: steps, time, dt (last), mass (1 x steps+1, the integral of eta),
% change (last steady-state test), wallTime.
  started = tic();
  dg3d_check_options(opt, 'dg3d_solve');
  writer = output_open(opt.output, opt.finalTime, output_grid(mesh), -mesh.hb, ...
                       struct('nodal', {{'h', 'eta'}}, 'layered', {{'u', 'v'}}), ...
                       struct('title', 'Layered hydrostatic flow on a 3d prism mesh', 'source', sprintf( ...
                              ['examples/dg3d/dg3d_solve: sigma-coordinate nodal DG, triangles of order %d, ' ...
                               '%d layers of vertical order %d, %d columns'], mesh.N, mesh.L, mesh.Nz, mesh.K2)));
  progress = progress_start(opt.progress, opt.finalTime, 'dg3d_solve');
  g = opt.g;
  noSlip = strcmp(opt.bed, 'noslip');
  vopt = struct('noSlip', noSlip, 'bedPenalty', opt.bedPenalty, 'innerPenalty', opt.innerPenalty);
  nuLine = opt.nu;
  if ~opt.implicit
    nuLine = max(opt.nu(:));
  elseif ~(isscalar(opt.nu) || numel(opt.nu) == mesh.Nc)
    error('dg3d_solve:nu', 'The implicit step takes nu as a number or %d values along a line.', mesh.Nc);
  end
  op = dg3d_vertical_operator(mesh, kernels, nuLine, vopt);
  nuNodes = opt.nu;
  if ~opt.implicit && ~isscalar(opt.nu) && numel(opt.nu) ~= mesh.Np * mesh.K
    nuNodes = dg3d_lines(mesh, repmat(opt.nu(:), 1, mesh.Np2 * mesh.K2), true);
  end
  eta = state.eta;
  u = state.u;
  mesh = dg3d_geometry(mesh, eta);
  Nl = mesh.Np2 * mesh.K2;
  status = int8(4 * ones(1, mesh.K));
  stiffest = max(abs(op.values));
  t = 0;
  steps = 0;
  mass = zeros(1, 0);
  mass(1) = sum(sum(mesh.mesh2.ref.weights .* mesh.mesh2.J .* eta));
  reference = u;
  change = inf;
  dt = 0;
  volume = sum(sum(mesh.mesh2.ref.weights .* mesh.mesh2.J .* mesh.H));
  next = 1;
  [writer, next] = write_due(writer, next, t, mesh, eta, u);
  % One time step per pass: surface, forcing, vertical lines.
  while t < opt.finalTime * (1 - 1e-12) && steps < opt.maxSteps
    H3 = mesh.H(mesh.nodeTriangle, mesh.column);
    dt = opt.cfl * kernels.time_interval_3d([], g, mesh.N, mesh.elementLength, status, ...
                                            cat(3, H3, H3 .* u(:, :, 1), H3 .* u(:, :, 2)));
    Hmin = min(mesh.H(:));
    if ~opt.implicit
      dt = min(dt, 1.9 * Hmin ^ 2 / stiffest);
    end
    if ~noSlip && opt.friction > 0
      r = opt.friction;
      if strcmp(opt.bed, 'quadratic')
        r = r * max(max(sqrt(sum(u(mesh.bed.map(:) + [0, mesh.Np * mesh.K]) .^ 2, 2))), 1e-12);
      end
      dt = min(dt, Hmin / (r * max(abs(op.liftBed))));
    end
    stop = opt.finalTime;
    if next <= numel(writer.times)
      stop = min(stop, writer.times(next));
    end
    tNew = t + dt;
    if dt >= stop - t
      dt = stop - t;
      tNew = stop;
    end

    if opt.horizontal
      eta = eta + dt * dg3d_continuity_rhs(mesh, kernels, eta, u, g);
      mesh = dg3d_geometry(mesh, eta);
      E = dg3d_lines(mesh, dg3d_pressure_rhs(mesh, kernels, eta, u, g));
    else
      E = zeros(mesh.Nc, Nl, 2);
    end
    H = reshape(mesh.H, 1, Nl);
    ul = dg3d_lines(mesh, u);
    bedStress = [];
    if ~noSlip && opt.friction > 0
      % Bed stress nu du/dz = r u_b (r = Cd |u_b| for the quadratic law).
      ub = u(mesh.bed.nodes, mesh.bed.elements, :);
      r = opt.friction;
      if strcmp(opt.bed, 'quadratic')
        r = r * sqrt(sum(ub .^ 2, 3));
      end
      bedStress = r .* ub;
    end
    E = E + reshape(opt.bodyForce, 1, 1, 2) ...
        + dg3d_lines(mesh, dg3d_boundary_forcing(mesh, opt.windStress / opt.rho, bedStress));
    if opt.implicit
      W = ul(:, :, 1) + 1i * ul(:, :, 2);
      mu = op.values ./ H .^ 2 - 1i * opt.coriolis;
      W = op.vectors * (((1 + (1 - opt.theta) * dt * mu) .* (op.inverse * W) ...
                         + dt * (op.inverse * (E(:, :, 1) + 1i * E(:, :, 2)))) ./ (1 - opt.theta * dt * mu));
      u = dg3d_lines(mesh, cat(3, real(W), imag(W)), true);
    else
      V = dg3d_vertical_rhs(mesh, kernels, u, nuNodes, vopt);
      f = opt.coriolis;
      u = u + dt * (dg3d_lines(mesh, E, true) + V + f * cat(3, u(:, :, 2), -u(:, :, 1)));
    end
    t = tNew;
    steps = steps + 1;
    mass(steps + 1) = sum(sum(mesh.mesh2.ref.weights .* mesh.mesh2.J .* eta));
    [writer, next] = write_due(writer, next, t, mesh, eta, u);
    progress = progress_report(progress, t, steps, dt, @() (mass(end) - mass(1)) / volume);
    if opt.steadyTolerance > 0 && mod(steps, opt.steadyEvery) == 0
      change = max(abs(u(:) - reference(:)));
      reference = u;
      if change < opt.steadyTolerance
        break;
      end
    end
  end
  if writer.active && t < opt.finalTime && (writer.written == 0 || writer.lastTime < t)
    % Stopped before the end (steady state, maxSteps): the last state.
    writer = write_state(writer, t, mesh, eta, u);
  end
  state.eta = eta;
  state.u = u;
  state.time = t;
  info = struct('steps', steps, 'time', t, 'dt', dt, 'mass', mass, 'change', change, ...
                'wallTime', toc(started), 'operator', op);
end

function [writer, next] = write_due(writer, next, t, mesh, eta, u)
  % Writes the state if t is the next output time.
  if writer.active && next <= numel(writer.times) && t >= writer.times(next)
    writer = write_state(writer, t, mesh, eta, u);
    next = next + 1;
  end
end

function writer = write_state(writer, t, mesh, eta, u)
  % One record: the prism fields are already [Np2, Nz + 1, L, K2] in order.
  writer = output_write(writer, t, struct('h', mesh.hb + eta, 'eta', eta, ...
                                          'u', u(:, :, 1), 'v', u(:, :, 2)));
  writer.lastTime = t;
end

function grid = output_grid(mesh)
  % The writers' sigma runs from -1 at the bed to 0 at the surface.
  sigma = mesh.sigma(1:mesh.Np2:mesh.Np, 1:mesh.L) - 1;
  grid = output_grid_prisms(struct('x', mesh.mesh2.x, 'y', mesh.mesh2.y, 'N', mesh.N, 'sigma', sigma));
end
