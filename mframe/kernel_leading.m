function y = kernel_leading(x, dims)
% KERNEL_LEADING  The first prod(dims) elements of x in memory order, shaped
% dims: how a module reads an input that holds at least that many elements,
% whatever its own shape.
  y = reshape(x(1:prod(dims)), dims);
end
