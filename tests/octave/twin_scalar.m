function s = twin_scalar(typical)
% TWIN_SCALAR  A valid scalar input: mostly `typical`, else a random or
% special value, sometimes of another numeric class or logical (the modules
% read any numeric or logical scalar) or a longer array (only its first
% element is read).
  choices = {typical, typical, typical, rand(), 0, -0, NaN, Inf, -1, 2 * typical};
  s = choices{twin_randi(numel(choices))};
  switch twin_randi(12)
    case 1
      s = single(s);
    case 2
      s = int8(s);
    case 3
      s = logical(s ~= 0 && ~isnan(s));
    case 4
      s = [s, rand(1, 2)];
  end
end
