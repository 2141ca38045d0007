function kernel_require_elements(module, x, position, name, needed, what)
% KERNEL_REQUIRE_ELEMENTS  A full array holding at least `needed` elements
% (<module>:notDouble for a sparse one, <module>:tooFewElements for too few);
% `what` says where the count comes from, e.g. 'Nfp*Ne'.
  if issparse(x)
    kernel_fail(module, 'notDouble', 'Input %d (%s) must be a full array; got sparse %s.', ...
                position, name, class(x));
  end
  kernel_require_extents(module, x, position, name);
  if numel(x) < needed
    kernel_fail(module, 'tooFewElements', 'Input %d (%s) holds %d elements; %s = %d are needed.', ...
                position, name, numel(x), what, needed);
  end
end
