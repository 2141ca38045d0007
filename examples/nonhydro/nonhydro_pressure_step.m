function [q, solveTime, iterations] = nonhydro_pressure_step(q, dt, mesh, ops, kernels, cellStatus, bed)
% NONHYDRO_PRESSURE_STEP  Non-hydrostatic correction of one forward-Euler
% stage.
%
% q (Np x K x 4: h, hu, hv, hw) is the state after the hydrostatic stage of
% length dt, over the bed of bed (dg2d_bed: its nodal gradient dzdx, dzdy;
% omitted, the bed is flat). The pressure p = h*q_b (q_b the non-hydrostatic
% pressure at the bed; it falls linearly to zero at the surface) is the one
% that makes the corrected state satisfy the depth-integrated continuity of a
% vertical velocity that is linear over the depth and follows the bed at the
% bottom (w_b = u.grad(z), z the bed elevation),
%   div(hu, hv) - (hu, hv).grad(h + 2 z)/h + 2 hw/h = 0,
% with the corrections (the depth-integrated non-hydrostatic force, the
% bed-slope part being the bed pressure q_b = p/h on the sloping bed)
%   (hu, hv) <- (hu, hv) - dt (grad(p)/2 + (p/h) grad(z)),   hw <- hw + dt p/h.
% The pressure work of these forces is q_b/2 times the continuity residual,
% so the pair stays adjoint on a sloping bed.
% The gradient takes p from the downstream side of each face
% (downwind_flux_2d), the divergence takes the discharge from the upstream
% side (downwind_flux_2d with the flow reversed), and an interior penalty on
% the jump of p closes the alternating pair; where the flow across a face is
% not one-way both take the average. The wall parts and the penalty come from
% nonhydro_operators.
% Only Wet elements (cellStatus 4) hold pressure unknowns; elsewhere
% (PressureFree, 7: dry, thin or breaking water) p is zero and the state is
% left as the hydrostatic stage made it. downwind_flux_2d leaves the faces
% of such elements at zero; there the gradient takes the face value from
% the pressure-free side (p = 0, the free surface reaching the shore or the
% bore) and the divergence takes the wet side's own discharge, so nothing of
% the pressure-free element enters the system. solveTime is the time spent
% in the sparse solve, iterations the iterations it took (0 for a direct
% solve).
% Solver: a system whose band is narrow (ops.band) is solved as a band;
% otherwise by the sparse LU with its fill-reducing ordering, or, from
% ops.iterativeFrom unknowns on (never by default, nonhydro_operators), by
% BiCGStab with an incomplete LU factor (no fill) to a relative residual of
% 1e-10.
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
  wet = cellStatus(:)' == 4;
  if nargin < 7
    zx = zeros(Nn, 1);
    zy = zeros(Nn, 1);
  else
    zx = reshape(bed.dzdx, Nn, 1);
    zy = reshape(bed.dzdy, Nn, 1);
  end
  active = reshape(repmat(wet, Np, 1), Nn, 1);
  % Depth of the pressure terms: the water's own on wet elements, 1 on the
  % others (their rows and columns are dropped below).
  hs = h;
  hs(~active) = 1;

  % Weight w of the local side in the face value (the adjacent side's is
  % 1 - w), times the normal: the module's result for a unit local and a zero
  % adjacent field.
  f2e = ops.faceToElement;
  [gxL, gyL] = kernels.downwind_flux_2d(cellStatus, f2e, UL, VL, UA, VA, one, zero, one, zero, nx, ny);
  [dxL, dyL] = kernels.downwind_flux_2d(cellStatus, f2e, -UL, -VL, -UA, -VA, one, zero, one, zero, nx, ny);
  % Faces the module left out (an element not Wet): local weight 1 in the
  % gradient where the local side is pressure-free, 1 in the divergence where
  % it is wet.
  marked = ~(wet(f2e(1, :)) & wet(f2e(2, :)));
  if any(marked)
    localWet = repmat(wet(f2e(1, marked)), size(nx, 1), 1);
    gxL(:, marked) = ~localWet .* nx(:, marked);
    gyL(:, marked) = ~localWet .* ny(:, marked);
    dxL(:, marked) = localWet .* nx(:, marked);
    dyL(:, marked) = localWet .* ny(:, marked);
  end
  % Strong form: D p minus the lifted n (p_side - p_face) of both sides; with
  % w the local weight, the local side lifts (1 - w) n (pL - pA) and the
  % adjacent side -w n (pL - pA): gradient0 with (SL + SA) w n (pL - pA)
  % added. G stacks the x and y gradients (2*Nn x Nn); the divergence DV
  % (Nn x 2*Nn) takes (hu, hv) stacked and carries the term
  % -(hu, hv).grad(h)/h on its diagonals.
  Nfi = numel(nx);
  scale = @(w) sparse(1:Nfi, 1:Nfi, w(:), Nfi, Nfi) * ops.jump;
  G = ops.gradient0 + ops.liftBothXY * [scale(gxL); scale(gyL)];
  % The correction of the discharge is -(dt/2) Gz p: G with the bed-slope
  % force 2 (p/h) grad(z) beside it.
  Gz = G + sparse(1:2 * Nn, [1:Nn, 1:Nn], 2 * [zx; zy] ./ [hs; hs], 2 * Nn, Nn);
  gradh = G * h + 2 * [zx; zy];
  DV = ops.divergence0 + ops.liftBoth * [scale(dxL), scale(dyL)] ...
       - sparse([1:Nn, 1:Nn], 1:2 * Nn, gradh ./ [hs; hs], Nn, 2 * Nn);
  A = DV * Gz + ops.penaltyMatrix - sparse(1:Nn, 1:Nn, 4 ./ hs .^ 2, Nn, Nn);
  b = (2 / dt) * (DV * [U; V] + 2 * W ./ hs);

  started = tic;
  if ~all(active)
    % Nodes without an unknown: their rows and columns become those of the
    % identity and their right-hand side zero, so p = 0 there and the band
    % stays.
    keep = sparse(1:Nn, 1:Nn, active, Nn, Nn);
    A = keep * A * keep + sparse(1:Nn, 1:Nn, ~active, Nn, Nn);
    b = b .* active;
  end
  iterations = 0;
  if ~isempty(ops.band)
    p = matrix_type(A, 'banded', ops.band(1), ops.band(2)) \ b;
  elseif Nn >= ops.iterativeFrom
    [factorL, factorU] = ilu(A, struct('type', 'nofill'));
    [p, flag, ~, iterations] = bicgstab(A, b, 1e-10, 500, factorL, factorU);
    if flag ~= 0
      p = A \ b;
    end
  else
    p = A \ b;
  end
  solveTime = toc(started);

  gradp = Gz * p;
  q(:, :, 2) = reshape(U - (dt / 2) * gradp(1:Nn) .* active, Np, K);
  q(:, :, 3) = reshape(V - (dt / 2) * gradp(Nn + 1:end) .* active, Np, K);
  q(:, :, 4) = reshape((W + dt * (p ./ hs)) .* active, Np, K);
end
