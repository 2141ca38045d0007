function text = kernel_format_g17(value)
% KERNEL_FORMAT_G17  A double printed as C's "%.17g" prints it: non-finite
% values as nan, -nan, inf and -inf.
  if isnan(value)
    if bitand(typecast(value, 'uint64'), bitshift(uint64(1), 63)) ~= 0
      text = '-nan';
    else
      text = 'nan';
    end
  elseif isinf(value)
    if value > 0
      text = 'inf';
    else
      text = '-inf';
    end
  else
    text = sprintf('%.17g', value);
  end
end
