function line = dg3d_line(Nz)
% DG3D_LINE  Nodal reference line [-1, 1] of order Nz (Legendre-Gauss-Lobatto
% nodes, so the first and last node lie on the layer's bottom and top face).
%
% line fields: Nz, Np (Nz + 1); z (Np x 1, ascending); D (Np x Np, derivative
% of the interpolant at the nodes); M, invM (exact mass matrix and inverse);
% weights (Np x 1, integral of each nodal basis function, sum 2).
  if Nz < 1 || Nz ~= round(Nz)
    error('dg3d_line:order', 'Vertical order %g: a whole number of at least 1.', Nz);
  end
  Np = Nz + 1;
  % Newton iteration for the roots of (1 - z^2) P'_Nz from Chebyshev points.
  z = -cos(pi * (0:Nz)' / Nz);
  old = inf;
  while max(abs(z - old)) > 1e-15
    old = z;
    P = legendre_table(z, Nz);
    z = old - (z .* P(:, Np) - P(:, Nz)) ./ (Np * P(:, Np));
  end
  z([1, Np]) = [-1; 1];
  % Orthonormal Legendre Vandermonde and its derivative.
  V = zeros(Np, Np);
  Vz = zeros(Np, Np);
  P = legendre_table(z, Nz);
  dP = zeros(Np, Np);
  dP(:, 2) = 1;
  % Derivative columns from P'_n = (2n - 1) P_{n-1} + P'_{n-2}.
  for n = 2:Nz
    dP(:, n + 1) = (2 * n - 1) * P(:, n) + dP(:, n - 1);
  end
  % Normalised Legendre columns and their derivatives.
  for n = 0:Nz
    V(:, n + 1) = P(:, n + 1) * sqrt((2 * n + 1) / 2);
    Vz(:, n + 1) = dP(:, n + 1) * sqrt((2 * n + 1) / 2);
  end
  line.Nz = Nz;
  line.Np = Np;
  line.z = z;
  line.D = Vz / V;
  line.invM = V * V';
  line.M = inv(line.invM);
  line.weights = sum(line.M, 2);
end

function P = legendre_table(z, Nz)
  % Legendre polynomials P_0 .. P_Nz at z, a column each.
  P = ones(numel(z), Nz + 1);
  P(:, 2) = z;
  % Bonnet's recursion for the higher degrees.
  for n = 2:Nz
    P(:, n + 1) = ((2 * n - 1) * z .* P(:, n) - (n - 1) * P(:, n - 1)) / n;
  end
end
