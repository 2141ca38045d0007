function [rEta, rU] = dg3d_rhs(mesh, kernels, eta, u, opt)
% DG3D_RHS  The whole right-hand side of the explicit 3d step at the state
% (eta Np2 x K2, u Np x K x 2): d eta/dt (dg3d_continuity_rhs) and d u/dt,
% the pressure gradient (dg3d_pressure_rhs), the vertical viscosity
% (dg3d_vertical_rhs), Coriolis and the wind stress lifted into the top
% layer. The geometry of mesh must be that of eta (dg3d_geometry).
  g = opt.g;
  vopt = struct('noSlip', strcmp(opt.bed, 'noslip'), 'bedPenalty', opt.bedPenalty, ...
                'innerPenalty', opt.innerPenalty);
  [rEta, ~, mean] = dg3d_continuity_rhs(mesh, kernels, eta, u, g);
  rU = dg3d_pressure_rhs(mesh, kernels, eta, u, g, mean) + dg3d_vertical_rhs(mesh, kernels, u, opt.nu, vopt);
  f = opt.coriolis;
  if f ~= 0
    % Coriolis (f v, -f u).
    rU = rU + cat(3, f * u(:, :, 2), -f * u(:, :, 1));
  end
  % The wind stress lifted into the top layer (zero below).
  top = mesh.surface;
  stress = opt.windStress / opt.rho;
  lift = mesh.liftTop * stress(ones(mesh.Np2, 1), :);
  rU(top.prisms2) = rU(top.prisms2) + reshape(lift, mesh.Np, 1, 2) ./ mesh.Jz(top.prisms);
end
