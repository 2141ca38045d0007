function types = nonhydro_walls(mesh)
% NONHYDRO_WALLS  Boundary code 2 (a wall) for every boundary face of the
% mesh, in the order of its face set.
  types = int8(2 * ones(1, nnz(mesh.faces.kind == 1)));
end
