function r = dg3d_ekman_case(L, Nz, opts)
% DG3D_EKMAN_CASE  Steady Ekman layer of finite depth: H = 20 m, f = 1e-4
% 1/s, nu = 5e-4 m^2/s, wind stress 0.1027 Pa along x, rho = 1000 kg/m^3,
% no-slip bed, horizontally uniform; L sigma layers of vertical order Nz.
%
% The discrete steady state is found directly: on a vertical line the
% steady equations are (A / H^2 - i f) W = -lift tau / (rho H) for
% W = u + i v, with A the vertical viscosity assembled by the modules
% (dg3d_vertical_operator) and lift the surface stress lifted into the top
% layer; this is also the state at which the time step of dg3d_solve stands
% still. Exact: W(z) = (tau/rho) sinh(alpha (z + H)) / (nu alpha cosh(alpha H)),
% alpha = sqrt(i f / nu).
% opts (struct, optional): depth, coriolis, nu, tau, and any dg3d_options
% field used by the operator (bedPenalty, innerPenalty, kernels).
% r: l2Error (m/s, the L2 error of (u, v) over the depth divided by the
% square root of the depth, i.e. over the volume of a uniform flow),
% maxError (m/s), surfaceSpeed, surfaceAngle (degrees to the right of the
% wind), exactSpeed, exactAngle, sigma, u, v, exactU, exactV, options.
  if nargin < 3
    opts = [];
  end
  c = struct('depth', 20, 'coriolis', 1e-4, 'nu', 5e-4, 'tau', 0.1027, 'solver', {{}});
  [c, solver] = dg3d_case_options('dg3d_ekman_case', c, opts);
  opt = dg3d_options(solver{:});
  mesh = dg3d_mesh(dg2d_rectangle([0, 1], [0, 1], 1, 1), 1, L, Nz, c.depth);
  kernels = dg3d_kernels(opt.kernels);
  vopt = struct('noSlip', true, 'bedPenalty', opt.bedPenalty, 'innerPenalty', opt.innerPenalty);
  op = dg3d_vertical_operator(mesh, kernels, c.nu, vopt);
  H = c.depth;
  W = -(op.A / H ^ 2 - 1i * c.coriolis * eye(mesh.Nc)) \ (op.lift * c.tau / (opt.rho * H));
  sigma = dg3d_lines(mesh, mesh.sigma)(:, 1);
  alpha = sqrt(1i * c.coriolis / c.nu);
  exact = (c.tau / opt.rho) * sinh(alpha * sigma * H) / (c.nu * alpha * cosh(alpha * H));
  % Depth integral of |W - exact|^2 with each layer's mass matrix.
  err = reshape(W - exact, mesh.Np1, L);
  weight = H / (2 * L);
  r.l2Error = sqrt(real(sum(sum(conj(err) .* (mesh.line.M * err)))) * weight / H);
  r.maxError = max(abs(W - exact));
  r.surfaceSpeed = abs(W(end));
  r.surfaceAngle = -angle(W(end)) * 180 / pi;
  r.exactSpeed = abs(exact(end));
  r.exactAngle = -angle(exact(end)) * 180 / pi;
  r.sigma = sigma;
  r.u = real(W);
  r.v = imag(W);
  r.exactU = real(exact);
  r.exactV = imag(exact);
  r.options = c;
end
