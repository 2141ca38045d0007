function out = dg3d_lines(mesh, in, back)
% DG3D_LINES  A prism field (Np x K x Nfield) as vertical lines: an
% Nc x (Np2 K2) x Nfield array, one column per triangle node of each
% triangle, from the bed up (layer by layer, line nodes ascending); with
% back = true the inverse.
  Nf = size(in, 3);
  if nargin < 3 || ~back
    out = reshape(permute(reshape(in, mesh.Np2, mesh.Np1, mesh.L, mesh.K2, Nf), [2 3 1 4 5]), ...
                  mesh.Nc, mesh.Np2 * mesh.K2, Nf);
  else
    out = reshape(permute(reshape(in, mesh.Np1, mesh.L, mesh.Np2, mesh.K2, Nf), [3 1 2 4 5]), ...
                  mesh.Np, mesh.K, Nf);
  end
end
