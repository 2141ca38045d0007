function kernel_require_doubles(module, x, position, name, needed, what)
% KERNEL_REQUIRE_DOUBLES  A full, real double array of at least `needed`
% elements.
  kernel_require_double_array(module, x, position, name);
  kernel_require_elements(module, x, position, name, needed, what);
end
