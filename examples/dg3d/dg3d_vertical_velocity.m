function [w, omega, surfaceOmega] = dg3d_vertical_velocity(mesh, kernels, eta, u, g)
% DG3D_VERTICAL_VELOCITY  Vertical velocity from the continuity equation at
% the state (eta Np2 x K2, u Np x K x 2; the geometry of mesh is eta's).
%
% In sigma coordinates dH/dt + div(H u) + d(H omega)/dsigma = 0 with omega =
% dsigma/dt and omega = 0 at the bed; integrating up each line,
%   H omega(sigma) = -sigma d eta/dt - int_0^sigma div(H u) dsigma',
% with div(H u) per layer from the side faces (inner_edge_strong_rhs, the
% flux {H u.n} + c/2 [eta] whose depth integral is the continuity's own) and
% d eta/dt from dg3d_continuity_rhs. Then
%   w = sigma d eta/dt + u . grad_sigma z + H omega,  z = -hb + sigma H.
% w, omega: Np x K. surfaceOmega (Np2 x K2): H omega at the surface, zero up
% to rounding when the layers' divergences add up to the continuity's.
  mesh2 = mesh.mesh2;
  ref = mesh2.ref;
  S = mesh.side;
  i2 = mesh.nodeTriangle;
  Np = mesh.Np;
  K = mesh.K;
  H3 = mesh.H(i2, mesh.column);
  Dr = kron(eye(mesh.Np1), ref.Dr);
  Ds = kron(eye(mesh.Np1), ref.Ds);
  rx = mesh2.rx(mesh.column);
  sx = mesh2.sx(mesh.column);
  ry = mesh2.ry(mesh.column);
  sy = mesh2.sy(mesh.column);
  Fx = H3 .* u(:, :, 1);
  Fy = H3 .* u(:, :, 2);
  R = -(Dr * (Fx .* rx + Fy .* ry) + Ds * (Fx .* sx + Fy .* sy));
  nx = S.normalX;
  ny = S.normalY;
  fM = Fx(S.mapM) .* nx + Fy(S.mapM) .* ny;
  fP = Fx(S.mapP) .* nx + Fy(S.mapP) .* ny;
  wall = S.kind == 1;
  fP(:, wall) = -fM(:, wall);
  H = mesh.H;
  c = sqrt(g * max(H(S.map2M), H(S.map2P)));
  numerical = (fM + fP) / 2 + c / 2 .* (eta(S.map2M) - eta(S.map2P));
  fP(:, wall) = numerical(:, wall);
  R = R + kernels.inner_edge_strong_rhs(mesh.invM, S.faceMassMatrix, S.faceToElement, ...
      S.nodeLocal, S.nodeAdjacent, S.edgeJacobian, mesh.J2, fM, fP, numerical);

  % Integral of -div(H u) from the bed up each line, layer by layer.
  line = mesh.line;
  Vm = line.z .^ (0:mesh.Nz);
  Q = ((line.z .^ (1:mesh.Nz + 1) - (-1) .^ (1:mesh.Nz + 1)) ./ (1:mesh.Nz + 1)) / Vm;
  Rl = reshape(dg3d_lines(mesh, R), mesh.Np1, mesh.L, []);
  integral = zeros(size(Rl));
  base = zeros(1, size(Rl, 3));
  half = 1 / (2 * mesh.L);
  for l = 1:mesh.L
    % Within layer l on top of the layers below it.
    integral(:, l, :) = reshape(base + half * (Q * reshape(Rl(:, l, :), mesh.Np1, [])), mesh.Np1, 1, []);
    base = base + half * (line.weights' * reshape(Rl(:, l, :), mesh.Np1, []));
  end
  detadt = dg3d_continuity_rhs(mesh, kernels, eta, u, g);
  sigma = mesh.sigma;
  Homega = -sigma .* detadt(i2, mesh.column) + dg3d_lines(mesh, reshape(integral, mesh.Nc, []), true);
  omega = Homega ./ H3;
  surfaceOmega = reshape(base, mesh.Np2, mesh.K2) - detadt;
  % Slope of the sigma surfaces: grad z = -grad hb + sigma grad H.
  hb = mesh.hb;
  zx = ref.Dr * hb .* mesh2.rx + ref.Ds * hb .* mesh2.sx;
  zy = ref.Dr * hb .* mesh2.ry + ref.Ds * hb .* mesh2.sy;
  Hx = ref.Dr * H .* mesh2.rx + ref.Ds * H .* mesh2.sx;
  Hy = ref.Dr * H .* mesh2.ry + ref.Ds * H .* mesh2.sy;
  w = sigma .* detadt(i2, mesh.column) + Homega ...
      + u(:, :, 1) .* (-zx(i2, mesh.column) + sigma .* Hx(i2, mesh.column)) ...
      + u(:, :, 2) .* (-zy(i2, mesh.column) + sigma .* Hy(i2, mesh.column));
end
