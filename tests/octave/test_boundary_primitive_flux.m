function tests = test_boundary_primitive_flux()
  tests = {@product_except_where_indicator_is_minus_one, @rejects_short_inputs};
end

function product_except_where_indicator_is_minus_one()
  rand('seed', 5);
  indicator = repmat([-1 0 1 -2 -0.5 NaN -1 - eps, -1 + eps/2], 3, 4);
  variable = 6 * rand(3, 32) - 3;
  normal = 6 * rand(3, 32) - 3;
  variable(1, 1) = Inf; normal(1, 1) = 0;      % switched off: 0, not NaN
  variable(2, 9) = NaN;                        % switched off: 0
  variable(1, 6) = NaN;                        % NaN indicator: the product
  out = kernel_call('boundary_primitive_flux', indicator(:)', variable(:), normal);
  expected = variable .* normal;
  expected(indicator == -1) = 0;
  assert(isequal(size(out), [3 32]));
  assert(isequaln(out, expected));
  assert(out(1, 1) == 0 && out(2, 9) == 0 && isnan(out(1, 6)));
  out = kernel_call('boundary_primitive_flux', [], [], zeros(0, 4));
  assert(isequal(size(out), [0 4]));
end

function rejects_short_inputs()
  id = kernel_call_error('boundary_primitive_flux', 1, ones(1, 5), ones(2, 3), ones(2, 3));
  assert(strcmp(id, 'boundary_primitive_flux:tooFewElements'), id);
  id = kernel_call_error('boundary_primitive_flux', 1, ones(2, 3), single(ones(2, 3)), ones(2, 3));
  assert(strcmp(id, 'boundary_primitive_flux:notDouble'), id);
  id = kernel_call_error('boundary_primitive_flux', 1, ones(2, 3), ones(2, 3), int8(ones(2, 3)));
  assert(strcmp(id, 'boundary_primitive_flux:notDouble'), id);
end
