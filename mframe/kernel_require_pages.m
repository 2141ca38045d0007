function kernel_require_pages(module, x, position, name, needed, what)
% KERNEL_REQUIRE_PAGES  A full, real double array with at least `needed`
% pages, the product of its extents after the second (<module>:tooFewPages).
  kernel_require_double_array(module, x, position, name);
  pages = kernel_page_count(x);
  if pages < needed
    kernel_fail(module, 'tooFewPages', 'Input %d (%s) has %d pages; at least %d are needed (%s).', ...
                position, name, pages, needed, what);
  end
end
