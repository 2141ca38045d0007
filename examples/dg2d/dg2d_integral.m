function total = dg2d_integral(u, domain)
% DG2D_INTEGRAL  Integral over the domain of the nodal field u (Np x Kall).
  total = sum((domain.weights' * u) .* domain.J(1, :));
end
