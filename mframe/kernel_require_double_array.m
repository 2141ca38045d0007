function kernel_require_double_array(module, x, position, name)
% KERNEL_REQUIRE_DOUBLE_ARRAY  A full, real double array, since the module
% reads it as doubles; anything else ends the call with <module>:notDouble.
  if ~isa(x, 'double') || issparse(x)
    prefix = '';
    if issparse(x)
      prefix = 'sparse ';
    end
    kernel_fail(module, 'notDouble', 'Input %d (%s) must be a full double array; got %s%s.', ...
                position, name, prefix, class(x));
  end
  if ~isreal(x)
    kernel_fail(module, 'notDouble', 'Input %d (%s) must be a real double array; got complex double.', ...
                position, name);
  end
end
