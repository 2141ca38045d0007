function ops = nonhydro_operators(mesh, kernels, boundaryTypes)
% NONHYDRO_OPERATORS  Sparse operators of the non-hydrostatic step on one
% mesh of the 2d solver (dg2d_mesh), built once.
%
% Nodal fields are columns of Np*K entries (node r of element k at
% r + Np*(k-1), the order of the solver's pages); face fields are Nfp x Nface
% arrays of the faces of one kind. boundaryTypes (int8, one code per wall
% face, in the order of the mesh's wall faces) sets the condition of each:
% codes 2 to 7 are walls, code 13 an open face where the non-hydrostatic
% pressure is zero.
%   Dx, Dy            derivatives inside every element
%   inner, wall       logical 1 x Nface: which faces of mesh.faces are which
%   nx, ny            Nfp x Ni normals of the inner faces; bnx, bny of the walls
%   PL, PA            traces on the local and the adjacent side of the inner faces
%   SL, SA            lift of a jump on the local / adjacent side into the
%                     elements, as the strong-form surface term does it
%                     (inverse mass matrix, face mass, face Jacobian; the
%                     adjacent side with its sign reversed)
%   PB, SB            the same for the boundary faces (one side only)
%   jump              triplets of SL*diag(wL)*(PL - PA) + SA*diag(wA)*(PL - PA)
%                     for face weights wL, wA given per stage (nonhydro_lift_jump)
%   wallMask          Nfp x Nb, 1.0 on wall nodes (boundary_type)
%   openNodes         Nfp x Nb, 1.0 on open nodes (element_boundary_condition)
%   penalty           interior-penalty factor tau (1/m, penalty_parameter)
%   faceToElement, boundaryFaceToElement   the two face tables
  F = mesh.faces;
  if any(F.kind == 2)
    error('nonhydro:coupledMesh', 'The non-hydrostatic step runs on a single mesh.');
  end
  Np = mesh.Np;
  K = mesh.K;
  Nn = Np * K;
  blocks = @(A) kron(speye(K), sparse(A));
  perNode = @(c) spdiags(reshape(repmat(c, Np, 1), Nn, 1), 0, Nn, Nn);
  Dr = blocks(mesh.ref.Dr);
  Ds = blocks(mesh.ref.Ds);
  ops.Dx = perNode(mesh.rx) * Dr + perNode(mesh.sx) * Ds;
  ops.Dy = perNode(mesh.ry) * Dr + perNode(mesh.sy) * Ds;
  invMJ = spdiags(1 ./ mesh.J(:), 0, Nn, Nn) * blocks(mesh.ref.invM);

  ops.inner = F.kind == 0;
  ops.wall = F.kind == 1;
  ops.nx = F.normalX(:, ops.inner);
  ops.ny = F.normalY(:, ops.inner);
  ops.bnx = F.normalX(:, ops.wall);
  ops.bny = F.normalY(:, ops.wall);
  ops.faceToElement = F.faceToElement(:, ops.inner);
  ops.boundaryFaceToElement = F.faceToElement(:, ops.wall);
  weight = F.faceJacobian;
  [ops.PL, ScatterL] = trace_and_scatter(F.mapM(:, ops.inner), weight(:, ops.inner), mesh);
  [ops.PA, ScatterA] = trace_and_scatter(F.mapP(:, ops.inner), weight(:, ops.inner), mesh);
  [ops.PB, ScatterB] = trace_and_scatter(F.mapM(:, ops.wall), weight(:, ops.wall), mesh);
  ops.SL = invMJ * ScatterL;
  ops.SA = -invMJ * ScatterA;
  ops.SB = invMJ * ScatterB;
  [rowL, nodeL, valueL] = find(ops.SL);
  [rowA, nodeA, valueA] = find(ops.SA);
  mapM = F.mapM(:, ops.inner);
  mapP = F.mapP(:, ops.inner);
  Nfi = numel(mapM);
  ops.jump.rows = [rowL; rowL; rowA; rowA];
  ops.jump.cols = [mapM(nodeL); mapP(nodeL); mapM(nodeA); mapP(nodeA)];
  ops.jump.values = [valueL; -valueL; valueA; -valueA];
  ops.jump.weight = [nodeL; nodeL; Nfi + nodeA; Nfi + nodeA];
  ops.jump.size = Nn;

  % Boundary conditions: walls are the realised codes (2 to 7); faces that
  % element_boundary_condition marks 2.0 (code 13) are open, with p = 0.
  Nfp = mesh.Nfp;
  Nb = nnz(ops.wall);
  ops.wallMask = kernels.boundary_type(boundaryTypes, zeros(Nfp, Nb));
  boundaryFaceToFace = F.faceToFace(:, ops.wall);
  marker = kernels.element_boundary_condition(zeros(3, K), boundaryFaceToFace, ...
      ops.boundaryFaceToElement, boundaryTypes);
  open = marker(sub2ind(size(marker), boundaryFaceToFace(1, :), ops.boundaryFaceToElement(1, :))) == 2;
  ops.openNodes = repmat(double(open), Nfp, 1);

  % Element sizes are areas, edge sizes lengths (twice the face Jacobian of
  % the reference edge [-1, 1]); shape code 2 is the triangle, whose factor
  % (N + 1)(N + 2)/2 is its number of nodes.
  ops.penalty = kernels.penalty_parameter(mesh.area, ops.faceToElement, 2 * weight(1, ops.inner), ...
      ops.boundaryFaceToElement, 2 * weight(1, ops.wall), int8(2), mesh.N);

  % The parts of the pressure system that do not change with the state.
  % Divergence at the boundary: the discharge through a wall is zero (the
  % flux switched off where the indicator is -1), through an open face the
  % element's own, so only walls lift a jump. Gradient at the boundary: p at
  % a wall is the element's own (no jump), at an open face zero. Penalty:
  % -tau times the lifted jump of p, on inner faces and against the zero p of
  % open faces.
  diagonal = @(v) sparse(1:numel(v), 1:numel(v), v(:));
  bone = ones(size(ops.bnx));
  throughX = kernels.boundary_primitive_flux(-ops.wallMask, bone, ops.bnx);
  throughY = kernels.boundary_primitive_flux(-ops.wallMask, bone, ops.bny);
  ops.boundaryDivergenceX = -ops.SB * diagonal(ops.bnx - throughX) * ops.PB;
  ops.boundaryDivergenceY = -ops.SB * diagonal(ops.bny - throughY) * ops.PB;
  ops.boundaryGradientX = -ops.SB * diagonal(ops.bnx .* ops.openNodes) * ops.PB;
  ops.boundaryGradientY = -ops.SB * diagonal(ops.bny .* ops.openNodes) * ops.PB;
  ops.penaltyMatrix = -ops.penalty * (nonhydro_lift_jump(ops.jump, ones(size(ops.nx)), ones(size(ops.nx))) ...
                                      + ops.SB * diagonal(ops.openNodes) * ops.PB);
end

function [P, Scatter] = trace_and_scatter(node, Js, mesh)
  % P picks the face nodes (linear node numbers node, Nfp x Nface) out of a
  % nodal field; Scatter adds face-mass- and face-Jacobian-weighted face
  % values into those nodes.
  [Nfp, Nface] = size(node);
  Nn = mesh.Np * mesh.K;
  P = sparse(1:Nfp * Nface, node(:), 1, Nfp * Nface, Nn);
  [r, m, f] = ndgrid(1:Nfp, 1:Nfp, 1:Nface);
  weight = mesh.ref.faceMassMatrix(sub2ind([Nfp, Nfp], r, m)) .* Js(sub2ind([Nfp, Nface], m, f));
  Scatter = sparse(node(sub2ind([Nfp, Nface], r, f)), m + Nfp * (f - 1), weight, Nn, Nfp * Nface);
end
