function ops = nonhydro_operators(mesh, kernels, boundaryTypes)
% NONHYDRO_OPERATORS  Sparse operators of the non-hydrostatic step on one
% mesh of the 2d solver (dg2d_mesh), built once.
%
% Nodal fields are columns of Np*K entries (node r of element k at
% r + Np*(k-1), the order of the solver's pages); face fields are Nfp x Nface
% arrays of the faces of one kind. boundaryTypes (int8, one code per
% boundary face, in the order of the mesh's boundary faces) gives each its
% condition:
%   2 to 7   wall (the realised codes: boundary_type masks them): no
%            discharge through it, p takes the element's own value
%   8        incident wave, 9 radiation (absorbing): open faces, whose state
%            across nonhydro_boundary_state gives; p = 0 on the face (marker
%            1.0 of element_boundary_condition)
%   13       radiation with p taking the element's own value on the face
%            (marker 2.0)
% Any other code is an error.
%   Dx, Dy            derivatives inside every element
%   inner, wall       logical 1 x Nface: which faces of mesh.faces are which
%   nx, ny            Nfp x Ni normals of the inner faces; bnx, bny of the walls
%   PL, PA            traces on the local and the adjacent side of the inner faces
%   SL, SA            lift of a jump on the local / adjacent side into the
%                     elements, as the strong-form surface term does it
%                     (inverse mass matrix, face mass, face Jacobian; the
%                     adjacent side with its sign reversed)
%   PB, SB            the same for the boundary faces (one side only)
%   jump, liftBoth    PL - PA and SL + SA
%   gradient0, divergence0   [Dx; Dy] and [Dx, Dy] with the lifted jumps of
%                     faces that take the local side's value alone, walls
%                     included in the divergence (nonhydro_pressure_step)
%   penaltyMatrix     the interior penalty on the jumps of p
%   gradientStructure, divergenceStructure   structure of the stage's
%                     gradient and divergence matrices, built once, with
%                     the map from the stage's weights to their values
%   liftSlotL, liftSlotA, liftWeight, lift, J   SL and SA element by
%                     element: the face slot (of 3*Nfp per element) of each
%                     inner face node on either side, its face Jacobian, the
%                     reference lift and the element Jacobian
%   traceL, traceA    node numbers of PL and PA (jump*p = p(traceL) - p(traceA))
%   Dr, Ds, metric    reference derivatives and [rx; sx; ry; sy] (4 x K)
%   wallRows, wallColumns, wallDivergenceBlock, openGradient, openPenalty
%                     the boundary parts of divergence0 (on the wall nodes
%                     it joins), gradient0 and penaltyMatrix (the open
%                     ones empty without faces of p = 0)
%   band              [below, above] band of the system matrix, or empty
%   iterativeFrom     unknowns from which the system without a band is
%                     solved by GMRES with an earlier stage's factor
%   refactorAfter, solverTolerance   iterations after which that factor is
%                     renewed, relative residual of the solve
%   wallMask          Nfp x Nb, 1.0 on wall nodes (boundary_type)
%   dirichlet         1 x Nb, open faces where p = 0 (element_boundary_condition)
%   boundaryTypes     the codes
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
  ops.jump = ops.PL - ops.PA;
  ops.liftBoth = ops.SL + ops.SA;

  % Walls are the realised boundary codes (2 to 7); the module prints a
  % notice for each face of another code (the open ones).
  Nb = nnz(ops.wall);
  known = ismember(double(boundaryTypes(:)'), [2:9, 13]);
  if numel(boundaryTypes) ~= Nb || ~all(known)
    error('nonhydro:boundaryType', ...
          'Boundary codes must be 2 to 7 (wall), 8 (incident), 9 or 13 (radiation), one per boundary face (%d).', Nb);
  end
  ops.boundaryTypes = int8(boundaryTypes(:)');
  ops.wallMask = kernels.boundary_type(ops.boundaryTypes, zeros(mesh.Nfp, Nb));
  % The pressure condition of an open face: its marker in the element-by-face
  % table, 1.0 for p = 0, 2.0 (code 13) for the element's own p.
  marker = kernels.element_boundary_condition(zeros(3, K), F.faceToFace(:, ops.wall), ...
                                              F.faceToElement(:, ops.wall), ops.boundaryTypes);
  faceMarker = marker(sub2ind([3, K], F.faceToFace(1, ops.wall), F.faceToElement(1, ops.wall)));
  ops.dirichlet = ops.wallMask(1, :) == 0 & faceMarker == 1;

  % Element sizes are areas, edge sizes lengths (twice the face Jacobian of
  % the reference edge [-1, 1]); shape code 2 is the triangle, whose factor
  % (N + 1)(N + 2)/2 is its number of nodes.
  ops.penalty = kernels.penalty_parameter(mesh.area, ops.faceToElement, 2 * weight(1, ops.inner), ...
      ops.boundaryFaceToElement, 2 * weight(1, ops.wall), int8(2), mesh.N);

  % The parts of the pressure system that do not change with the state.
  % Divergence at a wall: no discharge passes (the flux is switched off where
  % the indicator is -1), so the element's own normal discharge is lifted
  % as the jump. Gradient at a wall: p is the element's own, no jump.
  % Penalty: -tau times the lifted jump of p across the inner faces.
  diagonal = @(v) sparse(1:numel(v), 1:numel(v), v(:));
  bone = ones(size(ops.bnx));
  throughX = kernels.boundary_primitive_flux(-ops.wallMask, bone, ops.bnx);
  throughY = kernels.boundary_primitive_flux(-ops.wallMask, bone, ops.bny);
  % Gradient and divergence with the local side's weight at 0 (the face
  % takes the adjacent side's value), x above y and side by side:
  % D - SL*diag(n)*(PL - PA). A
  % stage adds (SL + SA)*diag(w n)*(PL - PA) for the weights w it finds.
  wallDivergenceX = -ops.SB * diagonal(ops.bnx - throughX) * ops.PB;
  wallDivergenceY = -ops.SB * diagonal(ops.bny - throughY) * ops.PB;
  localX = ops.SL * diagonal(ops.nx) * ops.jump;
  localY = ops.SL * diagonal(ops.ny) * ops.jump;
  % p = 0 on the open faces that ask for it: the element lifts n (p - 0).
  open = diagonal(repmat(double(ops.dirichlet), mesh.Nfp, 1));
  openX = ops.SB * diagonal(ops.bnx) * open * ops.PB;
  openY = ops.SB * diagonal(ops.bny) * open * ops.PB;
  ops.gradient0 = [ops.Dx - localX - openX; ops.Dy - localY - openY];
  ops.divergence0 = [ops.Dx - localX + wallDivergenceX, ops.Dy - localY + wallDivergenceY];
  ops.penaltyMatrix = -ops.penalty * (ops.liftBoth * ops.jump + ops.SB * open * ops.PB);
  % The same operators as the iterative solve applies them: the derivatives
  % element by element (reference derivatives and the affine map), the two
  % lifts side by side, and the boundary parts apart (empty where there are
  % no open faces of p = 0).
  % The lift works element by element: the face values of the inner faces
  % go into the 3*Nfp face slots of each side's element (the adjacent side
  % lists the face's nodes in the opposite direction) and the reference lift
  % takes them to the element's nodes, as SL and SA do.
  Nfp = mesh.Nfp;
  m = (1:Nfp)';
  slot = @(element, face, node) node + Nfp * (face - 1) + 3 * Nfp * (element - 1);
  ops.liftSlotL = reshape(slot(F.faceToElement(1, ops.inner), F.faceToFace(1, ops.inner), m), [], 1);
  ops.liftSlotA = reshape(slot(F.faceToElement(2, ops.inner), F.faceToFace(2, ops.inner), Nfp + 1 - m), [], 1);
  ops.liftWeight = reshape(weight(:, ops.inner), [], 1);
  ops.lift = mesh.ref.lift;
  ops.J = mesh.J;
  ops.traceL = reshape(F.mapM(:, ops.inner), [], 1);
  ops.traceA = reshape(F.mapP(:, ops.inner), [], 1);
  % The gradient and the divergence a stage assembles: their structure is
  % the same for every stage, and each value is a fixed part plus weights
  % times fixed coefficients (nonhydro_pressure_step's assemble):
  %   Gz = gradient0 + blkdiag(liftBoth, liftBoth) [diag(gx) jump; diag(gy) jump]
  %        + [diag(bedX); diag(bedY)]
  %   DV = divergence0 + liftBoth [diag(dx) jump, diag(dy) jump] - [diag(hx), diag(hy)]
  % with weights [gx; gy; bedX; bedY] and [dx; dy; hx; hy].
  [i, f, lift] = find(ops.liftBoth);
  tL = ops.traceL(f);
  tA = ops.traceA(f);
  Nf = numel(ops.traceL);
  node = (1:Nn)';
  % A face weight lifts the jump p(traceL) - p(traceA) of its face node.
  faceTerms = @(rowShift, colShift, weightShift) [[i; i] + rowShift, [tL; tA] + colShift, ...
                                                  [lift; -lift], [f; f] + weightShift];
  ops.gradientStructure = weighted_structure(kernels, ops.gradient0, ...
      [faceTerms(0, 0, 0); faceTerms(Nn, 0, Nf); node, node, ones(Nn, 1), node + 2 * Nf; ...
       node + Nn, node, ones(Nn, 1), node + 2 * Nf + Nn]);
  ops.divergenceStructure = weighted_structure(kernels, ops.divergence0, ...
      [faceTerms(0, 0, 0); faceTerms(0, Nn, Nf); node, node, -ones(Nn, 1), node + 2 * Nf; ...
       node, node + Nn, -ones(Nn, 1), node + 2 * Nf + Nn]);
  ops.Dr = mesh.ref.Dr;
  ops.Ds = mesh.ref.Ds;
  ops.metric = [mesh.rx; mesh.sx; mesh.ry; mesh.sy];
  % The wall part of divergence0 on the rows and columns of the wall nodes.
  wallDivergence = [wallDivergenceX, wallDivergenceY];
  ops.wallRows = find(any(wallDivergence, 2));
  ops.wallColumns = find(any(wallDivergence, 1))';
  ops.wallDivergenceBlock = wallDivergence(ops.wallRows, ops.wallColumns);
  ops.openGradient = [];
  ops.openPenalty = [];
  if any(ops.dirichlet)
    ops.openGradient = [openX; openY];
    ops.openPenalty = -ops.penalty * ops.SB * open * ops.PB;
  end

  % Band of the system matrix whatever the weights (the pattern of the
  % structures above, every weight non-zero): nodes are numbered element by
  % element, so on a mesh numbered along its length the band is narrow, and
  % a band that takes little more room than the entries is solved as one
  % (LAPACK's banded LU). Empty where the general sparse LU is the better
  % choice.
  on = @(S) sparse(S.rows, S.cols, 1, S.size(1), S.size(2));
  [i, j] = find(on(ops.divergenceStructure) * on(ops.gradientStructure) + spones(ops.penaltyMatrix) + speye(Nn));
  below = max([0; i - j]);
  above = max([0; j - i]);
  ops.band = [];
  if (2 * below + above + 1) * Nn <= 8 * numel(i)
    ops.band = [below, above];
  end
  % A system without a narrow band is solved, from iterativeFrom unknowns
  % on, by GMRES preconditioned with the LU factor of an earlier stage's
  % matrix, to a relative residual of solverTolerance; the matrix is
  % factored again when the unknowns change or a solve takes refactorAfter
  % iterations (nonhydro_pressure_step). Below iterativeFrom every stage
  % factors its own matrix. The tolerance leaves a ten-thousandth of the
  % continuity residual that the stage brought: the next correction takes
  % it up with its own, so it does not build up over a run. Over half a
  % period of the basin's (1,1) mode the surface is the same as at 1e-10 to
  % 3e-8 of the amplitude and the discharge to 5e-5 (the period's own error
  % against the model's relation is 2e-4), and a solve from the pressure of
  % the last steps takes one or two iterations.
  ops.iterativeFrom = 0;
  ops.refactorAfter = 12;
  ops.solverTolerance = 1e-4;
end

function S = weighted_structure(kernels, M0, terms)
  % Compressed-column structure of M = M0 + sum of c * weight(k) at (i, j)
  % for the rows [i, j, c, k] of terms: rows and cols of the stored entries
  % in column order (point_to_cell_info), the values of M0 on them (base)
  % and the map from the weights to the values (coefficients): a stage's M
  % is sparse(rows, cols, base + coefficients * weights, size).
  [m, n] = size(M0);
  [i0, j0, v0] = find(M0);
  pattern = sparse([i0; terms(:, 1)], [j0; terms(:, 2)], 1, m, n);
  [starts, rowIndices] = kernels.point_to_cell_info(n, pattern);
  S.rows = rowIndices + 1;
  S.cols = repelem((1:n)', diff(starts));
  S.size = [m, n];
  keys = S.rows + (S.cols - 1) * m;
  [~, at] = ismember(i0 + (j0 - 1) * m, keys);
  S.base = accumarray(at, v0, [numel(keys), 1]);
  [~, at] = ismember(terms(:, 1) + (terms(:, 2) - 1) * m, keys);
  S.coefficients = sparse(at, terms(:, 4), terms(:, 3), numel(keys), max(terms(:, 4)));
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
