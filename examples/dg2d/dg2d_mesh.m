function mesh = dg2d_mesh(vm, N)
% DG2D_MESH  Nodal DG mesh of order N on the triangles of a vertex mesh vm
% (VX, VY, EToV as from dg2d_rectangle or dg2d_read_msh; vertex numbers are
% global, so two meshes cut from one vertex mesh can be joined later).
%
% Fields, K elements, Nfp nodes on each of the 3 faces of an element:
%   ref            the reference triangle (dg2d_reference)
%   N, Np, Nfp, K  order and extents
%   VX, VY, EToV   the vertex mesh
%   x, y           Np x K node coordinates (nodes on a shared face or vertex
%                  carry bit-identical coordinates in every element)
%   J              Np x K element Jacobian (area / 2, constant per element)
%   rx, sx, ry, sy 1 x K derivatives of the reference coordinates
%   area, inradius 1 x K
%   nx, ny, sJ     Nfp x 3K outward unit normal and face Jacobian (length / 2)
%                  at the nodes of face f of element k: column 3(k-1) + f
%   E2E, E2F       3 x K neighbour element and its face number across each
%                  face; a boundary face names its own element and face
%   faceMeshId     3 x K mesh across each face (this mesh: 1)
%   offset         elements of earlier meshes in the solver's state (0)
%   mapM, mapP     Nfp x 3K linear node index, into the solver's Np x Kall
%                  page, of the node itself and of the matching node across
%                  the face (the node itself on a wall)
%   faces          the face set the right-hand side works on (dg2d_face_sets)
  ref = dg2d_reference(N);
  K = size(vm.EToV, 2);
  mesh.ref = ref;
  mesh.N = N;
  mesh.Np = ref.Np;
  mesh.Nfp = ref.Nfp;
  mesh.K = K;
  mesh.VX = vm.VX;
  mesh.VY = vm.VY;
  mesh.EToV = vm.EToV;

  % Affine map of each triangle from the reference one.
  vx = reshape(vm.VX(vm.EToV), 3, K);
  vy = reshape(vm.VY(vm.EToV), 3, K);
  mesh.x = -(ref.r + ref.s) / 2 .* vx(1, :) + (1 + ref.r) / 2 .* vx(2, :) + (1 + ref.s) / 2 .* vx(3, :);
  mesh.y = -(ref.r + ref.s) / 2 .* vy(1, :) + (1 + ref.r) / 2 .* vy(2, :) + (1 + ref.s) / 2 .* vy(3, :);
  [mesh.x, mesh.y] = unify_coordinates(mesh.x, mesh.y);
  xr = (vx(2, :) - vx(1, :)) / 2;
  xs = (vx(3, :) - vx(1, :)) / 2;
  yr = (vy(2, :) - vy(1, :)) / 2;
  ys = (vy(3, :) - vy(1, :)) / 2;
  Jk = xr .* ys - xs .* yr;
  if any(Jk <= 0)
    error('dg2d_mesh:orientation', 'Element %d is not counter-clockwise or has no area.', find(Jk <= 0, 1));
  end
  mesh.J = repmat(Jk, ref.Np, 1);
  mesh.rx = ys ./ Jk;
  mesh.sx = -yr ./ Jk;
  mesh.ry = -xs ./ Jk;
  mesh.sy = xr ./ Jk;
  mesh.area = 2 * Jk;

  % Face f runs from vertex f to vertex f + 1 (counter-clockwise); its
  % outward normal is the edge direction turned clockwise.
  from = [1 2 3];
  to = [2 3 1];
  ex = vx(to, :) - vx(from, :);
  ey = vy(to, :) - vy(from, :);
  len = sqrt(ex .^ 2 + ey .^ 2);
  mesh.inradius = mesh.area ./ (sum(len, 1) / 2);
  mesh.nx = repmat(reshape(ey ./ len, 1, []), ref.Nfp, 1);
  mesh.ny = repmat(reshape(-ex ./ len, 1, []), ref.Nfp, 1);
  mesh.sJ = repmat(reshape(len / 2, 1, []), ref.Nfp, 1);

  % Faces within the mesh: the two faces with the same vertex pair.
  a = vm.EToV(from, :);
  b = vm.EToV(to, :);
  key = [min(a(:), b(:)), max(a(:), b(:))];
  [key, order] = sortrows(key);
  twin = find(all(key(1:end - 1, :) == key(2:end, :), 2));
  self = reshape(1:3 * K, 3, K);
  across = self;
  across(order(twin)) = order(twin + 1);
  across(order(twin + 1)) = order(twin);
  mesh.E2E = ceil(across / 3);
  mesh.E2F = across - 3 * (mesh.E2E - 1);
  mesh.faceMeshId = ones(3, K);
  mesh.offset = 0;
  meshes = dg2d_face_sets({mesh});
  mesh = meshes{1};
end

function [x, y] = unify_coordinates(x, y)
  % Nodes that coincide up to rounding take the coordinates of the first of
  % them, so fields evaluated from x and y agree exactly across faces.
  scale = max([abs(x(:)); abs(y(:)); 1]) * 1e-10;
  [~, first, group] = unique(round([x(:), y(:)] / scale), 'rows', 'first');
  x(:) = x(first(group));
  y(:) = y(first(group));
end
