function pages = kernel_page_count(x)
% KERNEL_PAGE_COUNT  The product of the extents of an array after the second.
  dims = size(x);
  pages = prod(dims(3:end));
end
