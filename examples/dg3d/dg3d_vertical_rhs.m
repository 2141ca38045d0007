function rhs = dg3d_vertical_rhs(mesh, kernels, u, nu, opt)
% DG3D_VERTICAL_RHS  Vertical eddy viscosity d/dz (nu du/dz) of the prism
% fields u (Np x K x Nfield) in local-DG form, with nu a number or Np x K.
%
% The auxiliary gradient q = du/dz takes, on every face between layers, the
% neighbour's trace (alternating flux, bottom_edge_alter_rhs); the viscous
% flux nu q takes the mean of both traces (central flux,
% bottom_edge_central_rhs) and, when opt.innerPenalty > 0, a penalty
% innerPenalty nu / Jz times the jump of u (inner_edge_strong_rhs on the same
% faces, whose two sides take opposite signs). The lifted jump carried in
% q already penalises the jump of u in the central flux.
% Surface: no jump of u, stress given (its forcing, dg3d_boundary_forcing,
% is added by the caller; here it is zero). Bed, opt.noSlip true: u = 0
% taken weakly, with the penalty bedPenalty nu / Jz; false: stress given
% (zero here; a bed friction enters through dg3d_boundary_forcing).
% The result is linear in u.
  Np = mesh.Np;
  K = mesh.K;
  Nf = size(u, 3);
  B = mesh.inner;
  Jz = mesh.Jz;
  bed = mesh.bed;
  top = mesh.surface;
  if Nf == 2
    mapL = B.mapL2;
    mapA = B.mapA2;
    bedNodes = bed.map2;
    bedPrisms = bed.prisms2;
    topNodes = top.map2;
    topPrisms = top.prisms2;
    derivative = mesh.lineDerivative2;
  else
    pageOffset = Np * K * (0:Nf - 1);
    mapL = B.mapL(:) + pageOffset;
    mapA = B.mapA(:) + pageOffset;
    pageOffset = reshape(pageOffset, 1, 1, []);
    bedNodes = bed.map + pageOffset;
    bedPrisms = bed.prisms + pageOffset;
    topNodes = top.map + pageOffset;
    topPrisms = top.prisms + pageOffset;
    derivative = kron(speye(K * Nf), sparse(mesh.line.D.'));
  end
  Nfp = mesh.Np2;
  Nface = size(B.mapL, 2);
  liftBed = mesh.liftBed;
  liftTop = mesh.liftTop;
  JzBed = Jz(bed.prisms);
  ub = u(bedNodes);

  % Auxiliary gradient: volume derivative plus the lifted jumps between layers.
  q = reshape(reshape(u, Nfp, []) * derivative, Np, K, Nf) ./ Jz;
  if Nface > 0
    uL = reshape(u(mapL), Nfp, Nface, Nf);
    uA = reshape(u(mapA), Nfp, Nface, Nf);
    q = q + kernels.bottom_edge_alter_rhs(mesh.invM, mesh.mesh2.ref.M, ...
        B.faceToElement, B.nodeLocal, B.nodeAdjacent, B.faceJacobian, mesh.J, ...
        uL, uA);
  end
  if opt.noSlip
    % The bed value u* = 0 against the bed trace.
    q(bedPrisms) = q(bedPrisms) + reshape(liftBed * reshape(ub, Nfp, []), Np, [], Nf) ./ JzBed;
  end
  p = nu .* q;

  % Viscous flux: volume derivative plus the central flux between layers.
  rhs = reshape(reshape(p, Nfp, []) * derivative, Np, K, Nf) ./ Jz;
  if Nface > 0
    rhs = rhs + kernels.bottom_edge_central_rhs(mesh.invM, mesh.mesh2.ref.M, B.faceToElement, ...
        B.nodeLocal, B.nodeAdjacent, B.faceJacobian, mesh.J, ...
        reshape(p(mapL), Nfp, Nface, Nf), reshape(p(mapA), Nfp, Nface, Nf));
    if opt.innerPenalty > 0
      nuF = nu;
      if ~isscalar(nu)
        nuF = (nu(B.mapL) + nu(B.mapA)) / 2;
      end
      tau = opt.innerPenalty * nuF ./ Jz(B.mapL);
      jump = tau .* (uL - uA);
      zero = zeros(size(jump));
      rhs = rhs + kernels.inner_edge_strong_rhs(mesh.invM, mesh.mesh2.ref.M, B.faceToElement, ...
          B.nodeLocal, B.nodeAdjacent, B.faceJacobian, mesh.J, zero, zero, jump);
    end
  end
  % Surface: the given stress (zero) replaces the inner viscous flux.
  rhs(topPrisms) = rhs(topPrisms) - reshape(liftTop * reshape(p(topNodes), Nfp, []), Np, [], Nf) ./ Jz(top.prisms);
  if opt.noSlip
    % Penalised bed value: outward flux nu q_b - tau u_b.
    nuB = nu;
    if ~isscalar(nu)
      nuB = nu(bed.map);
    end
    jump = (opt.bedPenalty * nuB ./ Jz(bed.map)) .* reshape(ub, Nfp, [], Nf);
    rhs(bedPrisms) = rhs(bedPrisms) - reshape(liftBed * reshape(jump, Nfp, []), Np, [], Nf) ./ JzBed;
  else
    % Given bed stress (zero) replaces the inner viscous flux.
    rhs(bedPrisms) = rhs(bedPrisms) + reshape(liftBed * reshape(p(bedNodes), Nfp, []), Np, [], Nf) ./ JzBed;
  end
end
