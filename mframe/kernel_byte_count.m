function bytes = kernel_byte_count(x)
% KERNEL_BYTE_COUNT  Bytes of a numeric, logical or char array as the host
% counts them: elements times the size of one element (a logical is 1 byte, a
% char 2 under MATLAB and 1 under Octave; a complex array counts its real
% parts).
  switch class(x)
    case {'int8', 'uint8', 'logical'}
      size1 = 1;
    case 'char'
      size1 = 2 - (exist('OCTAVE_VERSION', 'builtin') ~= 0);
    case {'int16', 'uint16'}
      size1 = 2;
    case {'int32', 'uint32', 'single'}
      size1 = 4;
    otherwise
      size1 = 8;
  end
  bytes = numel(x) * size1;
end
