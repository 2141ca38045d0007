function value = kernel_read_scalar(module, x, position, name)
% KERNEL_READ_SCALAR  The first element of a full, real, numeric or logical
% array with at least one element, as a double; anything else ends the call
% with <module>:invalidScalar.
  numeric = isnumeric(x) || islogical(x);
  complex = numeric && ~isreal(x);
  if issparse(x) || ~numeric || complex || numel(x) < 1
    complexity = '';
    if complex
      complexity = 'complex ';
    end
    kernel_fail(module, 'invalidScalar', ...
                'Input %d (%s) must be a real numeric scalar; got a %s%s array of %d elements.', ...
                position, name, complexity, class(x), numel(x));
  end
  value = double(x(1));
end
