function kernel_require_double_array(module, x, position, name)
% KERNEL_REQUIRE_DOUBLE_ARRAY  A full, real double array, since the module
% reads it as doubles (<module>:notDouble otherwise), with extents a module
% may multiply (kernel_require_extents).
  if ~isa(x, 'double') || issparse(x) || ~isreal(x)
    sparsity = '';
    complexity = '';
    if issparse(x)
      sparsity = 'sparse ';
    end
    if (isnumeric(x) || islogical(x)) && ~isreal(x)
      complexity = 'complex ';
    end
    kernel_fail(module, 'notDouble', 'Input %d (%s) must be a full real double array; got %s%s%s.', ...
                position, name, sparsity, complexity, class(x));
  end
  kernel_require_extents(module, x, position, name);
end
