function kernel_require_field_pages(module, x, position, name, needed, what)
% KERNEL_REQUIRE_FIELD_PAGES  A field array Np x K x Nfield: a full, real
% double array that, when it has at least one node (Np*K > 0), has at least
% `needed` pages.
  kernel_require_double_array(module, x, position, name);
  if size(x, 1) * size(x, 2) > 0
    kernel_require_pages(module, x, position, name, needed, what);
  end
end
