function value = kernel_read_scalar(module, x, position, name)
% KERNEL_READ_SCALAR  The first element of a full, real, numeric or logical
% array with at least one element, as a double; anything else ends the call
% with <module>:invalidScalar.
  if issparse(x) || ~(isnumeric(x) || islogical(x)) || numel(x) < 1 || ~isreal(x)
    kernel_fail(module, 'invalidScalar', ...
                'Input %d (%s) must be a numeric scalar; got a %s array of %d elements.', ...
                position, name, class(x), numel(x));
  end
  value = double(x(1));
end
