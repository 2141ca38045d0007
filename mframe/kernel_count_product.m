function n = kernel_count_product(module, position, name, a, b, what)
% KERNEL_COUNT_PRODUCT  a*b for counts taken from the extents of input
% `position` (`what` says which, e.g. '2*Nface'); a product beyond 64 bits
% ends the call with <module>:tooLarge.
  n = a * b;
  if n >= 2^63
    kernel_fail(module, 'tooLarge', 'Input %d (%s) is too large: %s = %d*%d does not fit in 64 bits.', ...
                position, name, what, a, b);
  end
end
