function rhs = dg3d_pressure_rhs(mesh, kernels, eta, u, g, mean)
% DG3D_PRESSURE_RHS  -g grad eta on every prism node (Np x K x 2) from the
% free surface eta (Np2 x K2), with a Lax-Friedrichs flux on the vertical
% faces. The surface waves are the depth-averaged flow's, so the flux damps
% the jump of the depth-mean normal velocity (mean, Np2 x K2 x 2, or from
% u, Np x K x 2), the same in every layer; walls reflect it. A layer's own
% velocity may cross a wall's plane at rest as long as the column carries
% no net transport.
% Nothing of this varies along a vertical line, and the prism's face term
% is the triangle's (the side faces are lifted with the triangle's
% Jacobians), so the gradient is assembled on the triangle mesh (its faces
% through inner_edge_strong_rhs) and handed to every prism node by one
% gather: the same values as the side faces would give, at the cost of one
% layer.
  mesh2 = mesh.mesh2;
  ref = mesh2.ref;
  dx = ref.Dr * eta .* mesh2.rx + ref.Ds * eta .* mesh2.sx;
  dy = ref.Dr * eta .* mesh2.ry + ref.Ds * eta .* mesh2.sy;
  gradient = -g * cat(3, dx, dy);
  F = mesh2.faces;
  nx = F.normalX;
  ny = F.normalY;
  if nargin < 6
    mean = reshape(reshape(u, mesh.Np2, []) * mesh.lineSum2, mesh.Np2, mesh.K2, 2);
  end
  NpK = mesh.Np2 * mesh.K2;
  unM = mean(F.mapM) .* nx + mean(F.mapM + NpK) .* ny;
  unP = mean(F.mapP) .* nx + mean(F.mapP + NpK) .* ny;
  etaM = eta(F.mapM);
  etaP = eta(F.mapP);
  wall = F.kind == 1;
  unP(:, wall) = -unM(:, wall);
  H = mesh.H;
  c = sqrt(g * max(H(F.mapM), H(F.mapP)));
  pressure = g * (etaM + etaP) / 2 + c / 2 .* (unM - unP);
  numerical = cat(3, pressure .* nx, pressure .* ny);
  fluxM = g * cat(3, etaM .* nx, etaM .* ny);
  fluxP = g * cat(3, etaP .* nx, etaP .* ny);
  % A wall face has no adjacent side: its second contribution vanishes.
  fluxP(:, wall, :) = numerical(:, wall, :);
  gradient = gradient + kernels.inner_edge_strong_rhs(ref.invM, ref.faceMassMatrix, F.faceToElement, ...
      F.nodeLocal, F.nodeAdjacent, F.faceJacobian, mesh2.J, fluxM, fluxP, numerical);
  rhs = gradient(mesh.from2Pages);
end
