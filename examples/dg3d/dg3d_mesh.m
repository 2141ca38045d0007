function mesh = dg3d_mesh(vm, N, L, Nz, bed)
% DG3D_MESH  Prism mesh of a 2d triangle mesh vm (VX, VY, EToV, as from
% dg2d_rectangle) extruded into L sigma layers of vertical order Nz; the
% triangles carry order N. bed: the still depth hb > 0 below the datum z = 0,
% a number or a function of (x, y).
%
% Layout (Np2 = (N+1)(N+2)/2 triangle nodes, Np1 = Nz + 1 line nodes):
%   Np = Np2 * Np1 nodes per prism, node i + Np2 (j - 1) is triangle node i on
%   line node j (j = 1 on the layer's bottom face); K = L * K2 prisms, prism
%   l + L (e - 1) is layer l (1 at the bed) above triangle e. A field is an
%   Np x K (x Nfield) array; a 2d field (eta, hb, H) is Np2 x K2.
%   Sigma runs from 0 at the bed to 1 at the surface: z = -hb + sigma H with
%   the total depth H = hb + eta; layers are Dsigma = 1/L thick.
% Fields: mesh2 (dg2d_mesh), line (dg3d_line), N, Nz, L, Np2, Np1, Np, K2, K,
%   Nc (L Np1 nodes on a vertical line), hb (Np2 x K2), x, y, sigma (Np x K),
%   layer, column (1 x K), nodeTriangle (Np x 1, triangle node of each prism
%   node), from2 (Np x K, the 2d node under each prism node), invM (Np x Np,
%   prism reference), J2 (Np x K, triangle Jacobian), elementLength (1 x K),
%   lineWeights (Nc x 1, sigma integral of each line node, sum 1),
%   lineSum2 (sparse 2 Nc K2 x 2 K2: the sigma integral of a two-page
%   field reshaped to Np2 rows), lineDerivative2 (sparse 2 Np1 K square:
%   d/dzeta along the lines of a two-page field reshaped to Np2 rows),
%   liftBed, liftTop (Np x Np2, a bottom or top face's values lifted through
%   the line's inverse mass matrix), from2Pages (Np x K x 2);
%   inner: faces between layers (local side the upper prism through its
%   bottom face, normal -z): faceToElement, nodeLocal, nodeAdjacent (Np2 x Nf),
%   faceJacobian (Np2 x Nf, the triangle's), mapL, mapA (node indices),
%   mapL2, mapA2 (the same on both pages of a two-page field);
%   surface, bed: elements (1 x K2) and nodes (Np2 x 1) of the top and bottom
%   faces, map (Np2 x K2 node indices), prisms (Np x K2, every node of the
%   top or bottom prisms), map2 and prisms2 (the same on both pages);
%   side: vertical faces, per layer of each triangle face of mesh2.faces:
%   faceToElement, nodeLocal, nodeAdjacent, mapM, mapP (Nfp x Nf), normalX,
%   normalY, edgeJacobian (the triangle edge's), map2M, map2P (2d node index
%   of each face node), kind (0 inner, 1 wall), faceMassMatrix.
% The depth-dependent parts (Jz, J, side.faceJacobian, z) come from
% dg3d_geometry.
  if L < 1 || L ~= round(L)
    error('dg3d_mesh:layers', 'Layer count %g: a whole number of at least 1.', L);
  end
  mesh2 = dg2d_mesh(vm, N);
  line = dg3d_line(Nz);
  ref = mesh2.ref;
  Np2 = mesh2.Np;
  Np1 = line.Np;
  Np = Np2 * Np1;
  K2 = mesh2.K;
  K = L * K2;
  mesh.mesh2 = mesh2;
  mesh.line = line;
  mesh.N = N;
  mesh.Nz = Nz;
  mesh.L = L;
  mesh.Np2 = Np2;
  mesh.Np1 = Np1;
  mesh.Np = Np;
  mesh.K2 = K2;
  mesh.K = K;
  mesh.Nc = L * Np1;
  if isa(bed, 'function_handle')
    mesh.hb = bed(mesh2.x, mesh2.y);
  else
    mesh.hb = bed * ones(Np2, K2);
  end
  if any(mesh.hb(:) <= 0)
    error('dg3d_mesh:bed', 'The still depth must be positive everywhere (smallest %g).', min(mesh.hb(:)));
  end
  [l, e] = ndgrid(1:L, 1:K2);
  mesh.layer = l(:)';
  mesh.column = e(:)';
  i2 = repmat((1:Np2)', Np1, 1);
  j = kron((1:Np1)', ones(Np2, 1));
  mesh.nodeTriangle = i2;
  mesh.from2 = i2 + Np2 * (mesh.column - 1);
  % The same for a pair of 2d fields (Np2 x K2 x 2) onto the two pages of
  % a prism field, built once for the right-hand side's gathers.
  mesh.from2Pages = mesh.from2 + reshape([0, Np2 * K2], 1, 1, 2);
  mesh.x = mesh2.x(i2, mesh.column);
  mesh.y = mesh2.y(i2, mesh.column);
  mesh.sigma = (mesh.layer - 1 + (1 + line.z(j)) / 2) / L;
  mesh.invM = kron(line.invM, ref.invM);
  mesh.J2 = mesh2.J(i2, mesh.column);
  mesh.elementLength = 2 * mesh2.inradius(mesh.column);
  mesh.lineWeights = repmat(line.weights / (2 * L), L, 1);
  % The same two line operators on every line of a two-page prism field
  % seen as Np2 rows (its triangle nodes): right products with sparse
  % block-diagonal matrices, which run faster than a dense Np x Np product
  % on the few rows of each prism and give the same sums in the same order.
  mesh.lineSum2 = kron(speye(2 * K2), sparse(mesh.lineWeights));
  mesh.lineDerivative2 = kron(speye(2 * K), sparse(line.D.'));
  mesh.liftBed = kron(line.invM(:, 1), eye(Np2));
  mesh.liftTop = kron(line.invM(:, end), eye(Np2));

  % Faces between layers l and l + 1: the upper prism is the local side.
  [l, e] = ndgrid(1:L - 1, 1:K2);
  upper = (l(:) + 1 + L * (e(:) - 1))';
  lower = upper - 1;
  Nf = numel(upper);
  B.faceToElement = [upper; lower];
  B.nodeLocal = repmat((1:Np2)', 1, Nf);
  B.nodeAdjacent = B.nodeLocal + Np2 * (Np1 - 1);
  B.faceJacobian = mesh2.J(:, mesh.column(upper));
  B.mapL = B.nodeLocal + Np * (upper - 1);
  B.mapA = B.nodeAdjacent + Np * (lower - 1);
  % Both traces of a two-page prism field (u and v), one column per page.
  B.mapL2 = B.mapL(:) + Np * K * [0, 1];
  B.mapA2 = B.mapA(:) + Np * K * [0, 1];
  mesh.inner = B;
  top = L + L * (0:K2 - 1);
  mesh.surface.elements = top;
  mesh.surface.nodes = (1:Np2)' + Np2 * (Np1 - 1);
  mesh.surface.map = mesh.surface.nodes + Np * (top - 1);
  bottom = 1 + L * (0:K2 - 1);
  mesh.bed.elements = bottom;
  mesh.bed.nodes = (1:Np2)';
  mesh.bed.map = mesh.bed.nodes + Np * (bottom - 1);
  % The top and bottom faces' nodes and their prisms' nodes, on both pages
  % of a two-page prism field, for the gathers and lifts of the boundary
  % terms.
  pages = reshape([0, Np * K], 1, 1, 2);
  mesh.surface.map2 = mesh.surface.map + pages;
  mesh.surface.prisms = (1:Np)' + Np * (top - 1);
  mesh.surface.prisms2 = mesh.surface.prisms + pages;
  mesh.bed.map2 = mesh.bed.map + pages;
  mesh.bed.prisms = (1:Np)' + Np * (bottom - 1);
  mesh.bed.prisms2 = mesh.bed.prisms + pages;

  % Vertical faces: each face of mesh2's face set, once per layer; face node
  % m + Nfp2 (j - 1) is edge node m on line node j.
  F = mesh2.faces;
  Nfp2 = size(F.nodeLocal, 1);
  Nf2 = size(F.nodeLocal, 2);
  [l, f] = ndgrid(1:L, 1:Nf2);
  l = l(:)';
  f = f(:)';
  m = repmat((1:Nfp2)', Np1, 1);
  jj = kron((1:Np1)', ones(Nfp2, 1));
  S.faceToElement = l + L * (F.faceToElement(:, f) - 1);
  S.nodeLocal = F.nodeLocal(m, f) + Np2 * (jj - 1);
  S.nodeAdjacent = F.nodeAdjacent(m, f) + Np2 * (jj - 1);
  S.mapM = S.nodeLocal + Np * (S.faceToElement(1, :) - 1);
  S.mapP = S.nodeAdjacent + Np * (S.faceToElement(2, :) - 1);
  S.normalX = F.normalX(m, f);
  S.normalY = F.normalY(m, f);
  S.edgeJacobian = F.faceJacobian(m, f);
  S.map2M = F.mapM(m, f);
  S.map2P = F.mapP(m, f);
  S.kind = F.kind(f);
  S.faceMassMatrix = kron(line.M, ref.faceMassMatrix);
  mesh.side = S;
  mesh = dg3d_geometry(mesh, zeros(Np2, K2));
end
