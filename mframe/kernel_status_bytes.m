function codes = kernel_status_bytes(x, count)
% KERNEL_STATUS_BYTES  The bytes of an array read as signed 8-bit codes, in
% memory order (little-endian), as a row: one code per byte, whatever the
% array's class; only the first `count` when it is given. Call it after
% kernel_require_bytes.
  if ischar(x) && exist('OCTAVE_VERSION', 'builtin') ~= 0
    x = uint8(x);         % Octave hands a char array over one byte a character
  elseif ischar(x)
    x = uint16(x);
  elseif islogical(x)
    x = uint8(x);
  elseif ~isreal(x)
    x = real(x);
  end
  if isempty(x)
    codes = zeros(1, 0, 'int8');
  else
    codes = reshape(typecast(x(:), 'int8'), 1, []);
  end
  if nargin > 1
    codes = codes(1:count);
  end
end
