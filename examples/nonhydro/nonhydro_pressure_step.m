function [q, solveTime] = nonhydro_pressure_step(q, dt, mesh, ops, kernels, cellStatus)
% NONHYDRO_PRESSURE_STEP  Non-hydrostatic correction of one forward-Euler
% stage.
%
% q (Np x K x 4: h, hu, hv, hw) is the state after the hydrostatic stage of
% length dt. The pressure p = h*q_b (q_b the non-hydrostatic pressure at the
% bed; it falls linearly to zero at the surface) is the one that makes the
% corrected state satisfy the depth-integrated continuity of a linear vertical
% velocity over a flat bed,
%   div(hu, hv) - (hu, hv).grad(h)/h + 2 hw/h = 0,
% with the corrections
%   (hu, hv) <- (hu, hv) - dt/2 grad(p),   hw <- hw + dt p/h.
% The gradient takes p from the downstream side of each face
% (downwind_flux_2d), the divergence takes the discharge from the upstream
% side (downwind_flux_2d with the flow reversed), and an interior penalty on
% the jump of p closes the alternating pair; where the flow across a face is
% not one-way both take the average. The boundary parts and the penalty come
% from nonhydro_operators. Nodes of non-wet elements keep p = 0.
% solveTime is the time spent in the sparse solve.
  Np = mesh.Np;
  K = mesh.K;
  Nn = Np * K;
  h = reshape(q(:, :, 1), Nn, 1);
  U = reshape(q(:, :, 2), Nn, 1);
  V = reshape(q(:, :, 3), Nn, 1);
  W = reshape(q(:, :, 4), Nn, 1);
  nx = ops.nx;
  ny = ops.ny;
  trace = @(P, f) reshape(P * f, size(nx));
  UL = trace(ops.PL, U);
  VL = trace(ops.PL, V);
  UA = trace(ops.PA, U);
  VA = trace(ops.PA, V);
  one = ones(size(nx));
  zero = zeros(size(nx));

  % Weight of each side in the face value, times the normal: the local one is
  % the module's result for a unit local and a zero adjacent field, the
  % adjacent one what is left of the normal (w_A = 1 - w_L).
  f2e = ops.faceToElement;
  [gxL, gyL] = kernels.downwind_flux_2d(cellStatus, f2e, UL, VL, UA, VA, one, zero, one, zero, nx, ny);
  [dxL, dyL] = kernels.downwind_flux_2d(cellStatus, f2e, -UL, -VL, -UA, -VA, one, zero, one, zero, nx, ny);
  % Strong form: D p minus the lifted n (p_side - p_face) on both sides; on
  % the local side that is n_A (pL - pA), on the adjacent side -n_L (pL - pA).
  Gx = ops.Dx + nonhydro_lift_jump(ops.jump, gxL - nx, gxL) + ops.boundaryGradientX;
  Gy = ops.Dy + nonhydro_lift_jump(ops.jump, gyL - ny, gyL) + ops.boundaryGradientY;
  Dvx = ops.Dx + nonhydro_lift_jump(ops.jump, dxL - nx, dxL) + ops.boundaryDivergenceX;
  Dvy = ops.Dy + nonhydro_lift_jump(ops.jump, dyL - ny, dyL) + ops.boundaryDivergenceY;

  diagonal = @(v) sparse(1:Nn, 1:Nn, v, Nn, Nn);
  hx = Gx * h;
  hy = Gy * h;
  A = Dvx * Gx + Dvy * Gy + ops.penaltyMatrix - diagonal(hx ./ h) * Gx - diagonal(hy ./ h) * Gy ...
      - diagonal(4 ./ h .^ 2);
  b = (2 / dt) * (Dvx * U + Dvy * V - (U .* hx + V .* hy) ./ h + 2 * W ./ h);

  wet = reshape(repmat(cellStatus(:)' == 4, Np, 1), Nn, 1);
  if ~all(wet)
    A = diagonal(wet) * A + diagonal(~wet);
    b(~wet) = 0;
  end
  started = tic;
  % Nodes are numbered element by element, so on a mesh numbered along its
  % length the matrix is banded; a band that takes little more room than
  % the entries themselves is solved as one (LAPACK's banded LU), anything
  % else by the general sparse LU.
  [i, j] = find(A);
  below = max([0; i - j]);
  above = max([0; j - i]);
  if (2 * below + above + 1) * Nn <= 8 * nnz(A)
    A = matrix_type(A, 'banded', below, above);
  end
  p = A \ b;
  solveTime = toc(started);

  q(:, :, 2) = reshape(U - (dt / 2) * (Gx * p), Np, K);
  q(:, :, 3) = reshape(V - (dt / 2) * (Gy * p), Np, K);
  q(:, :, 4) = reshape(W + dt * (p ./ h), Np, K);
end
