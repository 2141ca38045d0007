function bytes = kernel_element_size(x)
% KERNEL_ELEMENT_SIZE  Bytes of one element of a numeric, logical or char
% array as the host counts them: a logical 1, a char 2 under MATLAB and 1 under
% Octave, a complex array the size of its real part.
  switch class(x)
    case {'int8', 'uint8', 'logical'}
      bytes = 1;
    case 'char'
      bytes = 2 - (exist('OCTAVE_VERSION', 'builtin') ~= 0);
    case {'int16', 'uint16'}
      bytes = 2;
    case {'int32', 'uint32', 'single'}
      bytes = 4;
    otherwise
      bytes = 8;
  end
end
