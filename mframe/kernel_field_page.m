function page = kernel_field_page(x, p)
% KERNEL_FIELD_PAGE  Page p (1-based) of a field array Np x K x Nfield as an
% Np x K matrix; the pages of an array with more than three dimensions follow
% one another in memory order.
  Np = size(x, 1);
  K = size(x, 2);
  if Np * K == 0
    page = zeros(Np, K);
  else
    x = reshape(x, Np, K, []);
    page = x(:, :, p);
  end
end
