function kernel_require_extents(module, x, position, name)
% KERNEL_REQUIRE_EXTENTS  An array whose extents a module may multiply: every
% extent below 2^63 and the product of the nonzero extents within 64 bits
% (<module>:tooLarge otherwise). The other checks make it first.
  dims = size(x);
  limit = 2^63;                 % 2^63 - 1 rounds to 2^63 in double
  bad = find(dims >= limit, 1);
  if ~isempty(bad)
    kernel_fail(module, 'tooLarge', ...
                'Input %d (%s) has extent %d in dimension %d; extents must stay below 2^63.', ...
                position, name, dims(bad), bad);
  end
  product = 1;
  for d = 1:numel(dims)
    if dims(d) == 0
      continue;
    end
    if product > floor(limit / dims(d))
      kernel_fail(module, 'tooLarge', ...
                  'Input %d (%s) is too large: the product of its nonzero extents exceeds 2^63 - 1 at dimension %d.', ...
                  position, name, d);
    end
    product = product * dims(d);
  end
end
