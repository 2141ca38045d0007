function r = dg3d_channel_case(L, Nz, opts)
% DG3D_CHANNEL_CASE  Flow down a channel driven by a surface slope S0, the
% body force F = g S0 in a horizontally uniform column (horizontal terms
% off), no-slip bed (or a linear bed friction), stress-free surface; L sigma
% layers of vertical order Nz.
%
% Depth h = 1 m, S0 = 1e-5, nu = 0.1 m^2/s; one 10 m x 10 m cell of P1 triangles.
% Exact: u = (F h^2 / nu) (sigma - sigma^2 / 2) at steady state; from rest
%   u = (F h^2 / nu) [sigma - sigma^2/2
%        - sum_n (2 / lambda_n^3) sin(lambda_n sigma) exp(-lambda_n^2 nu t / h^2)],
%   lambda_n = (n + 1/2) pi. With bed 'linear' (nu du/dz = r u_b) the steady
%   profile adds the uniform u_b = F h / r.
% opts (struct, optional): depth, slope, friction r (m/s, 0: no slip),
% startTheta (theta of the start-up run, 0.5), steadyTolerance (relative to
% the surface speed), and any dg3d_options field.
% r: steadyError (largest |u - exact| at steady state, relative to the
% surface speed), startupError (at t = h^2 / nu, the same measure; NaN with
% bed friction), steps (steady run), startupSteps, surfaceSpeed, sigma, u,
% exact (steady line, relative to the surface speed), options.
  if nargin < 3
    opts = [];
  end
  c = struct('depth', 1, 'slope', 1e-5, 'friction', 0, 'startTheta', 0.5, ...
             'steadyTolerance', 1e-13, 'solver', {{'nu', 0.1, 'horizontal', false, 'finalTime', 1e5, 'maxSteps', 20000}});
  [c, solver] = dg3d_case_options('dg3d_channel_case', c, opts);
  opt = dg3d_options(solver{:});
  if c.friction > 0
    opt.bed = 'linear';
    opt.friction = c.friction;
  end
  mesh = dg3d_mesh(dg2d_rectangle([0, 10], [0, 10], 1, 1), 1, L, Nz, c.depth);
  kernels = dg3d_kernels(opt.kernels);
  h = c.depth;
  F = opt.g * c.slope;
  opt.bodyForce = [F, 0];
  sigma = dg3d_lines(mesh, mesh.sigma);
  scale = F * h ^ 2 / opt.nu;
  exact = scale * (sigma - sigma .^ 2 / 2);
  if c.friction > 0
    exact = exact + F * h / c.friction;
  end
  speed = max(exact(:));
  rest.eta = zeros(mesh.Np2, mesh.K2);
  rest.u = zeros(mesh.Np, mesh.K, 2);

  steady = opt;
  steady.steadyTolerance = c.steadyTolerance * speed;
  [state, info] = dg3d_solve(mesh, rest, steady, kernels);
  lines = dg3d_lines(mesh, state.u(:, :, 1));
  r.steadyError = max(abs(lines(:) - exact(:))) / speed;
  r.u = lines(:, 1) / speed;
  r.steps = info.steps;
  r.startupError = NaN;
  r.startupSteps = 0;
  if c.friction == 0
    start = opt;
    start.theta = c.startTheta;
    start.finalTime = h ^ 2 / opt.nu;
    [state, info] = dg3d_solve(mesh, rest, start, kernels);
    lambda = ((0:400)' + 0.5) * pi;
    series = scale * (sigma - sigma .^ 2 / 2);
    % Start-up transient: the Fourier modes decaying from rest.
    for n = 1:numel(lambda)
      series = series - scale * (2 / lambda(n) ^ 3) * sin(lambda(n) * sigma) * exp(-lambda(n) ^ 2 * opt.nu * info.time / h ^ 2);
    end
    lines = dg3d_lines(mesh, state.u(:, :, 1));
    r.startupError = max(abs(lines(:) - series(:))) / speed;
    r.startupSteps = info.steps;
  end
  r.surfaceSpeed = speed;
  r.sigma = sigma(:, 1);
  r.exact = exact(:, 1) / speed;
  r.options = c;
end
