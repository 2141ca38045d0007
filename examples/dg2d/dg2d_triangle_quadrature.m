function [r, s, w] = dg2d_triangle_quadrature(n)
% DG2D_TRIANGLE_QUADRATURE  Collapsed Gauss rule on the reference triangle
% (-1,-1), (1,-1), (-1,1) with n x n points, exact for polynomials of degree
% 2n - 2. Column vectors; the weights sum to 2, the triangle's area.
  [x, wx] = dg2d_gauss_legendre(n);
  [a, b] = ndgrid(x, x);
  [wa, wb] = ndgrid(wx, wx);
  % (a, b) on the square maps to r = (1 + a)(1 - b)/2 - 1, s = b, with
  % Jacobian (1 - b)/2.
  r = (1 + a(:)) .* (1 - b(:)) / 2 - 1;
  s = b(:);
  w = wa(:) .* wb(:) .* (1 - b(:)) / 2;
end
