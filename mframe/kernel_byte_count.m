function bytes = kernel_byte_count(x)
% KERNEL_BYTE_COUNT  Bytes of a numeric, logical or char array as the host
% counts them: elements times the size of one element (a char is 2 bytes, a
% logical 1; a complex array counts its real parts).
  switch class(x)
    case {'int8', 'uint8', 'logical'}
      size1 = 1;
    case {'int16', 'uint16', 'char'}
      size1 = 2;
    case {'int32', 'uint32', 'single'}
      size1 = 4;
    otherwise
      size1 = 8;
  end
  bytes = numel(x) * size1;
end
