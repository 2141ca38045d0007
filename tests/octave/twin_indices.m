function x = twin_indices(dims, upper)
% TWIN_INDICES  Valid 1-based indices in 1..upper stored as doubles, with both
% ends of the range and fractional parts (truncated toward zero by the
% modules) among them. Empty when upper is 0.
  if upper < 1
    x = zeros([dims, 1]);
    x(:) = 1;
    return;
  end
  x = twin_randi(upper, [dims, 1]);
  ends = rand(size(x));
  x(ends < 0.15) = 1;
  x(ends > 0.85) = upper;
  fraction = rand(size(x)) < 0.2;
  x(fraction) = x(fraction) + 0.999 * rand(size(x(fraction)));
end
