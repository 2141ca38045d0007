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
% not one-way both take the average. The wall parts and the penalty come from
% nonhydro_operators. Every element must be wet (cellStatus 4): the step has
% no wetting and drying. solveTime is the time spent in the sparse solve.
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

  % Weight w of the local side in the face value (the adjacent side's is
  % 1 - w), times the normal: the module's result for a unit local and a zero
  % adjacent field.
  f2e = ops.faceToElement;
  [gxL, gyL] = kernels.downwind_flux_2d(cellStatus, f2e, UL, VL, UA, VA, one, zero, one, zero, nx, ny);
  [dxL, dyL] = kernels.downwind_flux_2d(cellStatus, f2e, -UL, -VL, -UA, -VA, one, zero, one, zero, nx, ny);
  % Strong form: D p minus the lifted n (p_side - p_face) of both sides; with
  % w the local weight, the local side lifts (1 - w) n (pL - pA) and the
  % adjacent side -w n (pL - pA): gradient0 with (SL + SA) w n (pL - pA)
  % added. G stacks the x and y gradients (2*Nn x Nn); the divergence DV
  % (Nn x 2*Nn) takes (hu, hv) stacked and carries the term
  % -(hu, hv).grad(h)/h on its diagonals.
  Nfi = numel(nx);
  scale = @(w) sparse(1:Nfi, 1:Nfi, w(:), Nfi, Nfi) * ops.jump;
  G = ops.gradient0 + ops.liftBothXY * [scale(gxL); scale(gyL)];
  gradh = G * h;
  DV = ops.divergence0 + ops.liftBoth * [scale(dxL), scale(dyL)] ...
       - sparse([1:Nn, 1:Nn], 1:2 * Nn, gradh ./ [h; h], Nn, 2 * Nn);
  A = DV * G + ops.penaltyMatrix - sparse(1:Nn, 1:Nn, 4 ./ h .^ 2, Nn, Nn);
  b = (2 / dt) * (DV * [U; V] + 2 * W ./ h);

  started = tic;
  if ~isempty(ops.band)
    A = matrix_type(A, 'banded', ops.band(1), ops.band(2));
  end
  p = A \ b;
  solveTime = toc(started);

  gradp = G * p;
  q(:, :, 2) = reshape(U - (dt / 2) * gradp(1:Nn), Np, K);
  q(:, :, 3) = reshape(V - (dt / 2) * gradp(Nn + 1:end), Np, K);
  q(:, :, 4) = reshape(W + dt * (p ./ h), Np, K);
end
