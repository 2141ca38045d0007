function r = dg3d_wind_basin_case(L, Nz, opts)
% DG3D_WIND_BASIN_CASE  Wind blowing along a closed basin (no rotation,
% no-slip bed), L sigma layers of vertical order Nz, run to steady state.
%
% Basin 10 m long (a strip of elementsX x 1 cells, 1 m wide), depth 1 m,
% wind stress tau = 0.1 Pa along x, nu = 0.05 m^2/s, triangles of order N = 1.
% Away from the end walls the steady flow has no net transport and
%   u = (tau H / (4 rho nu)) (1 + 4 s + 3 s^2),  s = (z - eta) / H = sigma - 1,
%   d eta / dx = 3 tau / (2 rho g H).
% opts (struct, optional): depth, basinLength, width, elementsX, N, tau,
% steadyTolerance (relative to the surface speed) and any dg3d_options field,
% e.g. output = struct('netcdf', 'wind.nc', 'vtk', 'wind'): the files of the
% run (dg3d_solve), by default at t = 0, 10, 30 and 100 s and at the steady
% state.
% r: profileError (largest |u - exact| over the nodes of the middle third,
% relative to the surface speed tau h / (4 rho nu)), setupError (least-squares
% slope of eta over the middle third, relative), massChange (relative to
% the water volume), verticalVelocity (largest |w| over the middle third,
% relative to the surface speed), surfaceOmega (largest flux through the
% surface left by integrating the continuity up each line, relative to the
% surface speed: rounding), steps, time, wallTime, nodes, sigma and u / exact of
% the middle line (for plots), options.
  if nargin < 3
    opts = [];
  end
  c = struct('depth', 1, 'basinLength', 10, 'width', 1, 'elementsX', 10, 'N', 1, 'tau', 0.1, ...
             'steadyTolerance', 1e-7, 'solver', {{'nu', 0.05, 'finalTime', 2000, 'maxSteps', 20000}});
  [c, solver] = dg3d_case_options('dg3d_wind_basin_case', c, opts);
  opt = dg3d_options(solver{:});
  mesh = dg3d_mesh(dg2d_rectangle([0, c.basinLength], [0, c.width], c.elementsX, 1), c.N, L, Nz, c.depth);
  speed = c.tau * c.depth / (4 * opt.rho * opt.nu);
  opt.windStress = [c.tau, 0];
  opt.steadyTolerance = c.steadyTolerance * speed;
  if isstruct(opt.output) && ~isfield(opt.output, 'times') && ~isfield(opt.output, 'every')
    opt.output.times = unique(min([0, 10, 30, 100], opt.finalTime));
  end
  kernels = dg3d_kernels(opt.kernels);
  state.eta = zeros(mesh.Np2, mesh.K2);
  state.u = zeros(mesh.Np, mesh.K, 2);
  [state, info] = dg3d_solve(mesh, state, opt, kernels);

  mesh = dg3d_geometry(mesh, state.eta);
  lines = dg3d_lines(mesh, state.u(:, :, 1));
  s = dg3d_lines(mesh, mesh.sigma) - 1;
  H = reshape(mesh.H, 1, []);
  exact = (c.tau * H / (4 * opt.rho * opt.nu)) .* (1 + 4 * s + 3 * s .^ 2);
  x = reshape(mesh.mesh2.x, 1, []);
  middle = x >= c.basinLength / 3 - 1e-9 & x <= 2 * c.basinLength / 3 + 1e-9;
  r.profileError = max(max(abs(lines(:, middle) - exact(:, middle)))) / speed;
  eta = reshape(state.eta, 1, []);
  p = polyfit(x(middle), eta(middle), 1);
  slope = 3 * c.tau / (2 * opt.rho * opt.g * c.depth);
  r.setupError = abs(p(1) / slope - 1);
  volume = c.depth * c.basinLength;
  r.massChange = (info.mass(end) - info.mass(1)) / volume;
  [w, ~, surfaceOmega] = dg3d_vertical_velocity(mesh, kernels, state.eta, state.u, opt.g);
  inside = mesh.x >= c.basinLength / 3 - 1e-9 & mesh.x <= 2 * c.basinLength / 3 + 1e-9;
  r.verticalVelocity = max(abs(w(inside))) / speed;
  r.surfaceOmega = max(abs(surfaceOmega(:))) / speed;
  r.steps = info.steps;
  r.time = info.time;
  r.change = info.change / speed;
  r.wallTime = info.wallTime;
  r.nodes = mesh.Np * mesh.K;
  [~, centre] = min(abs(x - c.basinLength / 2));
  r.sigma = s(:, centre) + 1;
  r.u = lines(:, centre) / speed;
  r.exact = exact(:, centre) / speed;
  r.options = c;
end
