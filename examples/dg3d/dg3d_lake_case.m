function r = dg3d_lake_case(L, Nz, opts)
% DG3D_LAKE_CASE  A 3d lake at rest over a varying bed: surface flat at
% z = eta0, still depth hb = 1 + 0.5 sin(pi x / 5) cos(pi y / 5) m below the
% datum, 10 m x 10 m basin of 4 x 4 cells (P1 triangles), L sigma layers of
% vertical order Nz, nu = 0.01, run for a number of steps.
% opts (struct, optional): steps (1000), eta0 (0.25), elements (4), and any
% dg3d_options field.
% r: maxVelocity (largest |u|, |v| at the end), surfaceChange (largest
% change of eta), massChange (relative to the volume), steps, time, wallTime.
  if nargin < 3
    opts = [];
  end
  c = struct('steps', 1000, 'eta0', 0.25, 'elements', 4, 'solver', {{'nu', 0.01}});
  [c, solver] = dg3d_case_options('dg3d_lake_case', c, opts);
  opt = dg3d_options(solver{:});
  opt.finalTime = inf;
  opt.maxSteps = c.steps;
  bed = @(x, y) 1 + 0.5 * sin(pi * x / 5) .* cos(pi * y / 5);
  mesh = dg3d_mesh(dg2d_rectangle([0, 10], [0, 10], c.elements, c.elements), 1, L, Nz, bed);
  kernels = dg3d_kernels(opt.kernels);
  state.eta = c.eta0 * ones(mesh.Np2, mesh.K2);
  state.u = zeros(mesh.Np, mesh.K, 2);
  [state, info] = dg3d_solve(mesh, state, opt, kernels);
  r.maxVelocity = max(abs(state.u(:)));
  r.surfaceChange = max(abs(state.eta(:) - c.eta0));
  volume = sum(sum(mesh.mesh2.ref.weights .* mesh.mesh2.J .* (mesh.hb + c.eta0)));
  r.massChange = (info.mass(end) - info.mass(1)) / volume;
  r.steps = info.steps;
  r.time = info.time;
  r.wallTime = info.wallTime;
end
