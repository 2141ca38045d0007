function n = kernel_columns(x)
% KERNEL_COLUMNS  The columns of an array as the host counts them: the product
% of all extents after the first (an Nfp x Nface x 2 array has 2*Nface).
  dims = size(x);
  n = prod(dims(2:end));
end
