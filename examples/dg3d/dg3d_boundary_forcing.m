function F = dg3d_boundary_forcing(mesh, surfaceStress, bedStress)
% DG3D_BOUNDARY_FORCING  Given stresses lifted into the prisms (Np x K x 2):
% the kinematic surface stress tau/rho (1 x 2, or Np2 x K2 x 2) into the top
% layer, and the kinematic bed stress nu du/dz at the bed (Np2 x K2 x 2, or
% [] for none; a friction law gives it from the bed velocity) into the bed
% layer, each through the line's inverse mass matrix and 1/Jz.
  Np = mesh.Np;
  F = zeros(Np, mesh.K, 2);
  top = mesh.surface.elements;
  if isequal(size(surfaceStress), [1, 2])
    surfaceStress = repmat(reshape(surfaceStress, 1, 1, 2), mesh.Np2, mesh.K2);
  end
  F(:, top, :) = reshape(mesh.liftTop * reshape(surfaceStress, mesh.Np2, []), Np, [], 2) ./ mesh.Jz(:, top);
  if ~isempty(bedStress)
    bottom = mesh.bed.elements;
    F(:, bottom, :) = F(:, bottom, :) - reshape(mesh.liftBed * reshape(bedStress, mesh.Np2, []), Np, [], 2) ./ mesh.Jz(:, bottom);
  end
end
