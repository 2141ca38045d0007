function [q, solveTime, iterations, solver] = nonhydro_pressure_step(q, dt, mesh, ops, kernels, cellStatus, bed, solver)
% NONHYDRO_PRESSURE_STEP  Non-hydrostatic correction of one forward-Euler
% stage.
%
% q (Np x K x 4: h, hu, hv, hw) is the state after the hydrostatic stage of
% length dt, over the bed of bed (dg2d_bed: its nodal gradient dzdx, dzdy;
% omitted or [], the bed is flat). The pressure p = h*q_b (q_b the non-hydrostatic
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
% in the solve (a factorization included), iterations the iterations it
% took (0 for a direct solve).
% Solver: a system whose band is narrow (ops.band) is assembled and solved
% as a band. Otherwise, from ops.iterativeFrom unknowns on (always by
% default, nonhydro_operators), by GMRES (nonhydro_gmres) on the operator
% applied without its matrix, to a relative residual of
% ops.solverTolerance, preconditioned by the sparse LU factor of the matrix
% of an earlier stage, which solver (the state returned by the previous
% call; omitted or [] at the first) carries. The matrix is assembled and
% factored again when the nodes with unknowns change, when GMRES does not
% converge, or after a solve of ops.refactorAfter iterations. Below
% ops.iterativeFrom every stage factors its own matrix. solver:
% factor, active (the nodes with unknowns when factored), factorizations
% and factorTime (assembly and factorization, counted in solveTime),
% pressure (p of this call, Nn x 1) and guess (set by the caller, optional:
% GMRES starts from it).
  Np = mesh.Np;
  K = mesh.K;
  Nn = Np * K;
  h = reshape(q(:, :, 1), Nn, 1);
  U = reshape(q(:, :, 2), Nn, 1);
  V = reshape(q(:, :, 3), Nn, 1);
  W = reshape(q(:, :, 4), Nn, 1);
  nx = ops.nx;
  ny = ops.ny;
  trace = @(f, nodes) reshape(f(nodes), size(nx));
  UL = trace(U, ops.traceL);
  VL = trace(V, ops.traceL);
  UA = trace(U, ops.traceA);
  VA = trace(V, ops.traceA);
  one = ones(size(nx));
  zero = zeros(size(nx));
  wet = cellStatus(:)' == 4;
  if nargin < 7 || isempty(bed)
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
  % added. The gradient takes p (Nn) to the x and y gradients stacked
  % (2*Nn); the divergence takes (hu, hv) stacked and carries the term
  % -(hu, hv).grad(h)/h. The correction of the discharge is -(dt/2) Gz p:
  % the gradient with the bed-slope force 2 (p/h) grad(z) beside it.
  w = struct('gx', gxL(:), 'gy', gyL(:), 'dx', dxL(:), 'dy', dyL(:), 'nx', nx(:), 'ny', ny(:));
  % The local side's lift takes (w - 1) n: kept for the products of the solve.
  w.gxn = w.gx - w.nx;
  w.gyn = w.gy - w.ny;
  w.dxn = w.dx - w.nx;
  w.dyn = w.dy - w.ny;
  w.bedX = 2 * zx ./ hs;
  w.bedY = 2 * zy ./ hs;
  % Flags that spare the solve's products the terms that vanish: a flat bed,
  % every node with an unknown.
  w.sloping = any(zx) || any(zy);
  w.allActive = all(active);
  gradh = gradient(ops, w, h, false) + 2 * [zx; zy];
  w.hx = gradh(1:Nn) ./ hs;
  w.hy = gradh(Nn + 1:end) ./ hs;
  w.diagonal = 4 ./ hs .^ 2;
  b = (2 / dt) * (divergence(ops, w, [U; V]) + 2 * W ./ hs);
  % Nodes without an unknown: their rows and columns are those of the
  % identity and their right-hand side zero, so p = 0 there.
  b = b .* active;
  if nargin < 8 || isempty(solver)
    solver = struct('factor', [], 'active', [], 'factorizations', 0, 'factorTime', 0);
  end

  started = tic;
  iterations = 0;
  if ~isempty(ops.band)
    p = matrix_type(assemble(ops, w, active), 'banded', ops.band(1), ops.band(2)) \ b;
  elseif Nn < ops.iterativeFrom
    p = assemble(ops, w, active) \ b;
  else
    % GMRES on the operator, preconditioned by the LU factor of the matrix
    % of an earlier stage; factored again when the unknowns change or the
    % iterations pass ops.refactorAfter.
    operator = @(x) apply(ops, w, active, x);
    % Start: the caller's guess of p (solver.guess, Nn x 1, for example p
    % extrapolated from the earlier steps), unless its residual is larger
    % than that of p = 0.
    x0 = zeros(Nn, 1);
    r0 = b;
    if isfield(solver, 'guess') && ~isempty(solver.guess)
      x = solver.guess .* active;
      r = b - operator(x);
      if norm(r) < norm(b)
        x0 = x;
        r0 = r;
      end
    end
    fresh = isempty(solver.factor) || ~isequal(solver.active, active);
    if ~fresh
      [p, converged, iterations] = nonhydro_gmres(operator, b, @(v) lu_solve(solver.factor, v), ...
                                                  ops.solverTolerance, ops.refactorAfter, x0, r0);
      fresh = ~converged;
    end
    if fresh || iterations >= ops.refactorAfter
      factoring = tic;
      solver.factor = lu_factor(assemble(ops, w, active));
      solver.active = active;
      solver.factorizations = solver.factorizations + 1;
      solver.factorTime = solver.factorTime + toc(factoring);
    end
    if fresh
      % The new factor is that of this stage's matrix: GMRES ends after one
      % iteration (the check of the residual).
      [p, converged, more] = nonhydro_gmres(operator, b, @(v) lu_solve(solver.factor, v), ...
                                            ops.solverTolerance, ops.refactorAfter, x0, r0);
      iterations = iterations + more;
      if ~converged
        error('nonhydro_pressure_step:notConverged', ...
              'The pressure system did not reach a relative residual of %g with its own factor.', ...
              ops.solverTolerance);
      end
    end
  end
  solveTime = toc(started);
  solver.pressure = p;

  gradp = gradient(ops, w, p, true);
  q(:, :, 2) = reshape(U - (dt / 2) * gradp(1:Nn) .* active, Np, K);
  q(:, :, 3) = reshape(V - (dt / 2) * gradp(Nn + 1:end) .* active, Np, K);
  q(:, :, 4) = reshape((W + dt * (p ./ hs)) .* active, Np, K);
end

function [g, penalty] = gradient(ops, w, p, withBed)
  % x and y gradients of the nodal field p stacked (2*Nn), with the bed-slope
  % force 2 (p/h) grad(z) when withBed is true; penalty: the interior penalty
  % on the jumps of p (penaltyMatrix * p), from the same lift, when asked for.
  jumps = p(ops.traceL) - p(ops.traceA);
  % Columns x, y and (when asked for) penalty.
  local = [w.gxn .* jumps, w.gyn .* jumps];
  adjacent = [w.gx .* jumps, w.gy .* jumps];
  if nargout > 1
    local(:, 3) = -ops.penalty * jumps;
    adjacent(:, 3) = local(:, 3);
  end
  lifted = lift(ops, local, adjacent);
  [px, py] = derivatives(ops, p);
  g = [px + lifted(:, 1); py + lifted(:, 2)];
  if ~isempty(ops.openGradient)
    g = g - ops.openGradient * p;
  end
  if nargout > 1
    penalty = lifted(:, 3);
    if ~isempty(ops.openPenalty)
      penalty = penalty + ops.openPenalty * p;
    end
  end
  if withBed && w.sloping
    g = g + [w.bedX .* p; w.bedY .* p];
  end
end

function d = divergence(ops, w, f)
  % Divergence of the stacked field f = (fx, fy) (2*Nn) less f.grad(h)/h.
  Nn = numel(w.hx);
  fx = f(1:Nn);
  fy = f(Nn + 1:end);
  jx = fx(ops.traceL) - fx(ops.traceA);
  jy = fy(ops.traceL) - fy(ops.traceA);
  lifted = lift(ops, w.dxn .* jx + w.dyn .* jy, w.dx .* jx + w.dy .* jy);
  Np = size(ops.Dr, 1);
  K = Nn / Np;
  F = reshape(f, Np, 2 * K);
  Fr = ops.Dr * F;
  Fs = ops.Ds * F;
  d = reshape(ops.metric(1, :) .* Fr(:, 1:K) + ops.metric(2, :) .* Fs(:, 1:K) ...
              + ops.metric(3, :) .* Fr(:, K + 1:end) + ops.metric(4, :) .* Fs(:, K + 1:end), Nn, 1) + lifted - w.hx .* fx - w.hy .* fy;
  % Walls: the discharge of their nodes alone.
  at = ops.wallRows;
  d(at) = d(at) + ops.wallDivergenceBlock * f(ops.wallColumns);
end

function lifted = lift(ops, local, adjacent)
  % SL * local + SA * adjacent for columns of inner-face node values
  % (Nf x c): each element lifts the face values in its face slots.
  [Np, K] = size(ops.J);
  c = size(local, 2);
  slots = zeros(numel(ops.lift) / Np * K, c);
  slots(ops.liftSlotL, :) = ops.liftWeight .* local;
  slots(ops.liftSlotA, :) = -ops.liftWeight .* adjacent;
  lifted = reshape(reshape(ops.lift * reshape(slots, size(ops.lift, 2), []), Np, K, c) ./ ops.J, [], c);
end

function [fx, fy] = derivatives(ops, f)
  % x and y derivatives of the nodal field f inside every element.
  F = reshape(f, size(ops.Dr, 1), []);
  Fr = ops.Dr * F;
  Fs = ops.Ds * F;
  fx = reshape(ops.metric(1, :) .* Fr + ops.metric(2, :) .* Fs, [], 1);
  fy = reshape(ops.metric(3, :) .* Fr + ops.metric(4, :) .* Fs, [], 1);
end

function y = apply(ops, w, active, x)
  % The system's operator on x: its rows and columns without an unknown
  % those of the identity.
  p = x;
  if ~w.allActive
    p = x .* active;
  end
  [g, penalty] = gradient(ops, w, p, true);
  y = divergence(ops, w, g) + penalty - w.diagonal .* p;
  if ~w.allActive
    y = y .* active + x .* ~active;
  end
end

function A = assemble(ops, w, active)
  % The system's matrix, the same operator as apply.
  Nn = numel(active);
  diagonal = @(v) sparse(1:numel(v), 1:numel(v), v, numel(v), numel(v));
  % Gradient (with the bed force) and divergence: their structure is built
  % with the operators, the values are the stage's (nonhydro_operators).
  weighted = @(S, weights) sparse(S.rows, S.cols, S.base + S.coefficients * weights, S.size(1), S.size(2));
  Gz = weighted(ops.gradientStructure, [w.gx; w.gy; w.bedX; w.bedY]);
  DV = weighted(ops.divergenceStructure, [w.dx; w.dy; w.hx; w.hy]);
  A = DV * Gz + ops.penaltyMatrix - diagonal(w.diagonal);
  if ~all(active)
    keep = diagonal(double(active));
    A = keep * A * keep + diagonal(double(~active));
  end
end

function factor = lu_factor(A)
  % Sparse LU with row scaling and the fill-reducing orderings:
  % (R \ A)(p, q) = L U. U is kept with its rows and columns reversed, a
  % lower triangle: Octave solves a lower triangle in about two thirds of
  % the time of an upper one, with the same operations.
  [L, U, p, q, R] = lu(A, 'vector');
  n = numel(p);
  factor = struct('L', matrix_type(L, 'lower'), 'Ureversed', matrix_type(U(n:-1:1, n:-1:1), 'lower'), ...
                  'p', p, 'qReversed', q(n:-1:1), 'r', full(diag(R)));
end

function x = lu_solve(factor, v)
  % x with A x = v for the factored A.
  t = v ./ factor.r;
  y = factor.L \ t(factor.p);
  x = zeros(size(v));
  x(factor.qReversed) = factor.Ureversed \ y(end:-1:1);
end
