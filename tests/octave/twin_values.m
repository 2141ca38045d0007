function x = twin_values(dims, low, high, rate)
% TWIN_VALUES  Random doubles of the given extents, uniform in [low, high]
% (default [-2, 3]), with a share `rate` (default 1/6) of the entries replaced
% by a special value: NaN, +-Inf, +-0, a subnormal, a huge value, or low or
% high exactly.
  if nargin < 2
    low = -2;
    high = 3;
  end
  if nargin < 4
    rate = 1 / 6;
  end
  x = low + (high - low) * rand([dims, 1]);
  special = [NaN, Inf, -Inf, 0, -0, 4.9e-324, -1e-310, 1e300, -1e300, low, high];
  pick = rand(size(x)) < rate;
  x(pick) = special(twin_randi(numel(special), nnz(pick), 1));
end
