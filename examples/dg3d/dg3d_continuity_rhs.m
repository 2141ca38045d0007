function [rhs, U, mean] = dg3d_continuity_rhs(mesh, kernels, eta, u, g)
% DG3D_CONTINUITY_RHS  d eta/dt = -div U of the depth-integrated continuity,
% U (Np2 x K2 x 2) = H times the sigma integral of the prism velocities u
% (Np x K x 2); eta and rhs Np2 x K2. Faces of the triangle mesh with a
% Lax-Friedrichs flux (inner_edge_strong_rhs); walls reflect the transport.
% mean (Np2 x K2 x 2): the sigma integral of u alone, the depth-mean velocity.
  mesh2 = mesh.mesh2;
  ref = mesh2.ref;
  F = mesh2.faces;
  H = mesh.hb + eta;
  % Sigma integral along each line: prism nodes i + Np2 (j - 1) of layers
  % 1..L follow each other as line nodes of triangle node i.
  mean = reshape(reshape(u, mesh.Np2, []) * mesh.lineSum2, mesh.Np2, mesh.K2, 2);
  U = H .* mean;
  Ux = U(:, :, 1);
  Uy = U(:, :, 2);
  rhs = -(ref.Dr * (Ux .* mesh2.rx + Uy .* mesh2.ry) + ref.Ds * (Ux .* mesh2.sx + Uy .* mesh2.sy));
  nx = F.normalX;
  ny = F.normalY;
  unM = Ux(F.mapM) .* nx + Uy(F.mapM) .* ny;
  unP = Ux(F.mapP) .* nx + Uy(F.mapP) .* ny;
  etaM = eta(F.mapM);
  etaP = eta(F.mapP);
  wall = F.kind == 1;
  unP(:, wall) = -unM(:, wall);
  c = sqrt(g * max(H(F.mapM), H(F.mapP)));
  numerical = (unM + unP) / 2 + c / 2 .* (etaM - etaP);
  % A wall face has no adjacent side: its second contribution vanishes.
  unP(:, wall) = numerical(:, wall);
  rhs = rhs + kernels.inner_edge_strong_rhs(ref.invM, ref.faceMassMatrix, F.faceToElement, ...
      F.nodeLocal, F.nodeAdjacent, F.faceJacobian, mesh2.J, unM, unP, numerical);
end
