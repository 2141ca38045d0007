function bed = dg2d_bed(z, meshes)
% DG2D_BED  The bed z (Np x Kall) of the meshes that share one state, with
% its gradient dzdx, dzdy at the nodes: what dg2d_rhs needs of the bed,
% computed once per run.
  if ~iscell(meshes)
    meshes = {meshes};
  end
  bed.z = z;
  bed.dzdx = zeros(size(z));
  bed.dzdy = zeros(size(z));
  for m = 1:numel(meshes)
    mesh = meshes{m};
    cols = mesh.offset + (1:mesh.K);
    zr = mesh.ref.Dr * z(:, cols);
    zs = mesh.ref.Ds * z(:, cols);
    bed.dzdx(:, cols) = zr .* mesh.rx + zs .* mesh.sx;
    bed.dzdy(:, cols) = zr .* mesh.ry + zs .* mesh.sy;
  end
end
