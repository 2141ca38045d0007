function ref = dg2d_reference(N)
% DG2D_REFERENCE  Nodal reference triangle of order N (1 to 3).
%
% The triangle has vertices (-1,-1), (1,-1), (-1,1); its Np = (N+1)(N+2)/2
% nodes sit on the equidistant lattice, numbered row by row (s outer, r
% inner). Faces run counter-clockwise: face 1 from vertex 1 to 2 (s = -1),
% face 2 from vertex 2 to 3 (r + s = 0), face 3 from vertex 3 to 1 (r = -1);
% the Nfp = N + 1 nodes of a face are listed in that direction, so the
% element across a face lists the same nodes in reverse order.
%
% ref fields: N, Np, Nfp; r, s (Np x 1); V (Vandermonde of the monomials
% r^i s^j, i + j <= N); Dr, Ds (Np x Np, derivative of the interpolant at the
% nodes); M, invM (mass matrix on the reference triangle, area 2, and its
% inverse); weights (Np x 1, integral of each nodal basis function, sum 2);
% faceNodes (Nfp x 3, node numbers of each face); faceMassMatrix (Nfp x Nfp,
% mass matrix of the face nodes on [-1, 1]); lift (Np x 3*Nfp, invM times the
% face mass matrices scattered to the face nodes, face by face);
% vertexNodes (1 x 3); interiorInterp (nodal values to values at the points,
% all inside the triangle, of the mass matrix's rule); interpolation to a
% finer rule for errors: quadR, quadS, quadW, quadInterp (nodal values to
% values at its points).
  if N < 1 || N > 3 || N ~= round(N)
    error('dg2d_reference:order', 'Polynomial order %g: only 1, 2 and 3 are supported.', N);
  end
  Np = (N + 1) * (N + 2) / 2;
  Nfp = N + 1;
  [i, j] = lattice(N);
  r = -1 + 2 * i / N;
  s = -1 + 2 * j / N;
  [V, Vr, Vs] = monomials(N, r, s);
  ref.N = N;
  ref.Np = Np;
  ref.Nfp = Nfp;
  ref.r = r;
  ref.s = s;
  ref.V = V;
  ref.Dr = Vr / V;
  ref.Ds = Vs / V;

  % Mass matrix from a collapsed Gauss rule exact for degree 2N.
  [rq, sq, wq] = dg2d_triangle_quadrature(N + 2);
  interp = monomials(N, rq, sq) / V;
  ref.M = interp' * (wq .* interp);
  ref.M = (ref.M + ref.M') / 2;
  ref.invM = inv(ref.M);
  ref.invM = (ref.invM + ref.invM') / 2;
  ref.weights = sum(ref.M, 2);
  ref.interiorInterp = interp;

  node = @(a, b) find(i == a & j == b);
  t = (0:N)';
  ref.faceNodes = [arrayfun(node, t, 0 * t), arrayfun(node, N - t, t), arrayfun(node, 0 * t, N - t)];
  ref.vertexNodes = [node(0, 0), node(N, 0), node(0, N)];

  % Face mass matrix of the equidistant face nodes on [-1, 1].
  tf = -1 + 2 * t / N;
  [xg, wg] = dg2d_gauss_legendre(N + 1);
  V1 = tf .^ (0:N);
  interp1 = (xg .^ (0:N)) / V1;
  ref.faceMassMatrix = interp1' * (wg .* interp1);
  ref.faceMassMatrix = (ref.faceMassMatrix + ref.faceMassMatrix') / 2;
  E = zeros(Np, 3 * Nfp);
  for f = 1:3
    E(ref.faceNodes(:, f), (f - 1) * Nfp + (1:Nfp)) = ref.faceMassMatrix;
  end
  ref.lift = ref.invM * E;

  % A finer rule for errors and plots.
  [ref.quadR, ref.quadS, ref.quadW] = dg2d_triangle_quadrature(7);
  ref.quadInterp = monomials(N, ref.quadR, ref.quadS) / V;
end

function [i, j] = lattice(N)
  i = [];
  j = [];
  for b = 0:N
    i = [i; (0:N - b)'];
    j = [j; b * ones(N - b + 1, 1)];
  end
end

function [V, Vr, Vs] = monomials(N, r, s)
  % Columns r^a s^b for a + b <= N, and their derivatives in r and s.
  V = [];
  Vr = [];
  Vs = [];
  for b = 0:N
    for a = 0:N - b
      V = [V, r .^ a .* s .^ b];
      Vr = [Vr, a * r .^ max(a - 1, 0) .* s .^ b];
      Vs = [Vs, b * r .^ a .* s .^ max(b - 1, 0)];
    end
  end
end
