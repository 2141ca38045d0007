function [x, w] = dg2d_gauss_legendre(n)
% DG2D_GAUSS_LEGENDRE  n Gauss-Legendre points and weights on [-1, 1]
% (Golub-Welsch: eigenvalues of the Jacobi matrix), as ascending columns.
  k = (1:n - 1)';
  beta = k ./ sqrt(4 * k .^ 2 - 1);
  [Q, D] = eig(diag(beta, 1) + diag(beta, -1));
  [x, order] = sort(diag(D));
  w = 2 * Q(1, order)' .^ 2;
end
