function kernel_require_bytes(module, x, position, name, needed, what)
% KERNEL_REQUIRE_BYTES  An array read byte by byte (status and type codes): a
% numeric, logical or char array (<module>:notNumeric otherwise; a cell,
% struct or function handle has no bytes of its own), full and holding at
% least `needed` bytes (<module>:tooFewBytes otherwise).
  if ~(isnumeric(x) || islogical(x) || ischar(x))
    kernel_fail(module, 'notNumeric', ...
                'Input %d (%s) must be a numeric, logical or char array; got %s.', ...
                position, name, class(x));
  end
  if issparse(x)
    kernel_fail(module, 'tooFewBytes', 'Input %d (%s) must be a full int8 array; got sparse %s.', ...
                position, name, class(x));
  end
  kernel_require_extents(module, x, position, name);
  bytes = kernel_count_product(module, position, name, numel(x), kernel_element_size(x), ...
                               'elements*bytes per element');
  if bytes < needed
    kernel_fail(module, 'tooFewBytes', 'Input %d (%s) holds %d bytes; %s = %d are needed.', ...
                position, name, bytes, what, needed);
  end
end
