function rhs = nonhydro_vertical_rhs(q, mesh, ops, kernels, cellStatus, across, open)
% NONHYDRO_VERTICAL_RHS  Advection of the vertical momentum hw by the
% depth-averaged flow, strong form: -div(u hw) plus the lifted jumps between
% each side's face flux and the upwind numerical flux.
%
% q is Np x K x 4 (h, hu, hv, hw). Volume flux: nonhydro_vertical_volume_flux;
% one-sided face fluxes: nonhydro_vertical_face_flux; numerical flux:
% upwind_flux_2d; surface term: inner_edge_strong_rhs. At a wall the state
% across mirrors the normal discharge, so the upwind choice falls back to the
% central average, which carries nothing through the wall; the side across
% has no element and lifts nothing. across (optional, Nfp x Nb x 3: h, hu,
% hv) is the state across the boundary faces where open (1 x Nb) is true
% (nonhydro_boundary_state); hw there is the element's own.
  h = q(:, :, 1);
  hu = q(:, :, 2);
  hv = q(:, :, 3);
  hw = q(:, :, 4);
  [E, G] = kernels.nonhydro_vertical_volume_flux(cellStatus, hu, hv, hw, h);
  % Divergence of (E, G) element by element: reference derivatives and the
  % affine map.
  rhs = -(ops.metric(1, :) .* (ops.Dr * E) + ops.metric(2, :) .* (ops.Ds * E) ...
          + ops.metric(3, :) .* (ops.Dr * G) + ops.metric(4, :) .* (ops.Ds * G));

  F = mesh.faces;
  nx = F.normalX;
  ny = F.normalY;
  hM = h(F.mapM);
  huM = hu(F.mapM);
  hvM = hv(F.mapM);
  hwM = hw(F.mapM);
  hP = h(F.mapP);
  huP = hu(F.mapP);
  hvP = hv(F.mapP);
  hwP = hw(F.mapP);
  wall = ops.wall;
  un = huP(:, wall) .* nx(:, wall) + hvP(:, wall) .* ny(:, wall);
  huP(:, wall) = huP(:, wall) - 2 * un .* nx(:, wall);
  hvP(:, wall) = hvP(:, wall) - 2 * un .* ny(:, wall);
  if nargin > 5 && any(open)
    % Open faces: the state across them.
    faces = find(wall);
    hP(:, faces(open)) = across(:, open, 1);
    huP(:, faces(open)) = across(:, open, 2);
    hvP(:, faces(open)) = across(:, open, 3);
  end
  fluxM = kernels.nonhydro_vertical_face_flux(cellStatus, F.faceToElement, 0, hM, huM, hvM, hwM, nx, ny);
  fluxP = kernels.nonhydro_vertical_face_flux(cellStatus, F.faceToElement, 0, hP, huP, hvP, hwP, nx, ny);
  numerical = kernels.upwind_flux_2d(cellStatus, F.faceToElement, hM, huM, hvM, hwM, ...
                                     hP, huP, hvP, hwP, nx, ny);
  fluxP(:, wall) = numerical(:, wall);
  rhs = rhs + kernels.inner_edge_strong_rhs(mesh.ref.invM, mesh.ref.faceMassMatrix, F.faceToElement, ...
      F.nodeLocal, F.nodeAdjacent, F.faceJacobian, mesh.J, fluxM, fluxP, numerical);
end
