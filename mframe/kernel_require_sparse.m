function kernel_require_sparse(module, x, position, name)
% KERNEL_REQUIRE_SPARSE  A sparse matrix (<module>:notSparse otherwise).
  if ~issparse(x)
    kernel_fail(module, 'notSparse', 'Input %d (%s) must be a sparse matrix; got full %s.', ...
                position, name, class(x));
  end
  kernel_require_extents(module, x, position, name);
end
