function [x, converged, iterations] = nonhydro_gmres(operator, b, precondition, tolerance, maxIterations, x0, r0)
% NONHYDRO_GMRES  x with operator(x) = b to a relative residual
% norm(b - operator(x)) <= tolerance * norm(b), by GMRES with right
% preconditioning (Saad and Schultz 1986; Saad 2003, Iterative Methods for
% Sparse Linear Systems, sec. 9.3), starting from x0 (default 0) whose
% residual b - operator(x0) is r0.
%
% operator and precondition are functions of a column (precondition
% approximates the inverse of operator). The preconditioned directions are
% kept (as in flexible GMRES), so x needs no further preconditioner solve.
% At the end of every cycle the residual is formed from the operator's
% products of the cycle (b - operator(x) without another product: the
% Arnoldi relation, which holds whatever the orthogonality of the basis); a
% cycle whose estimate met the tolerance while that residual does not is
% followed by another, within maxIterations preconditioned products in all.
% converged: the relative residual met the tolerance; iterations: the
% products taken.
  n = numel(b);
  x = zeros(n, 1);
  r = b;
  if nargin > 5
    x = x0;
    r = r0;
  end
  iterations = 0;
  target = tolerance * norm(b);
  while true
    beta = norm(r);
    converged = beta <= target;
    room = maxIterations - iterations;
    if converged || room < 1
      return;
    end
    V = zeros(n, room + 1);
    Z = zeros(n, room);
    H = zeros(room + 1, room);
    Hbar = H;
    rotations = zeros(2, room);
    g = [beta; zeros(room, 1)];
    V(:, 1) = r / beta;
    % Arnoldi steps (modified Gram-Schmidt) with the least-squares residual
    % kept up to date by Givens rotations.
    for j = 1:room
      Z(:, j) = precondition(V(:, j));
      v = operator(Z(:, j));
      for i = 1:j
        H(i, j) = V(:, i)' * v;
        v = v - H(i, j) * V(:, i);
      end
      H(j + 1, j) = norm(v);
      V(:, j + 1) = v / H(j + 1, j);
      Hbar(1:j + 1, j) = H(1:j + 1, j);
      for i = 1:j - 1
        H(i:i + 1, j) = [rotations(1, i), rotations(2, i); -rotations(2, i), rotations(1, i)] * H(i:i + 1, j);
      end
      radius = hypot(H(j, j), H(j + 1, j));
      rotations(:, j) = [H(j, j); H(j + 1, j)] / radius;
      H(j, j) = radius;
      H(j + 1, j) = 0;
      g(j:j + 1) = [rotations(1, j) * g(j); -rotations(2, j) * g(j)];
      iterations = iterations + 1;
      if abs(g(j + 1)) <= target
        break;
      end
    end
    y = triu(H(1:j, 1:j)) \ g(1:j);
    x = x + Z(:, 1:j) * y;
    % operator(Z y) = V Hbar y: the cycle's products in its basis.
    r = r - V(:, 1:j + 1) * (Hbar(1:j + 1, 1:j) * y);
  end
end
