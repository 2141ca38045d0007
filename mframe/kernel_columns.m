function n = kernel_columns(x)
% KERNEL_COLUMNS  Columns of an array as the host counts them (mxGetN): the
% product of all extents after the first.
  dims = size(x);
  n = prod(dims(2:end));
end
