function tests = test_face_flux_1d()
  tests = {@matches_node_formula, @known_values_signs_and_dry_nodes, ...
           @extra_pages_and_empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function F = reference(threshold, g, nx, f)
  % The node formula in the kernel's operation order.
  [Nfp, Ne, ~] = size(f);
  F = zeros(Nfp, Ne, 2);
  for e = 1:Ne
    for n = 1:Nfp
      h = f(n, e, 1); hu = f(n, e, 2);
      u = 0;
      if h > threshold
        u = hu / h;
      end
      F(n, e, 1) = hu * nx(n, e);
      F(n, e, 2) = ((h * u) * u + (0.5 * g) * (h * h)) * nx(n, e);
    end
  end
end

function matches_node_formula()
  rand('seed', 8);
  f = cat(3, 3.2 * rand(2, 90) - 0.2, 10 * rand(2, 90) - 5, rand(2, 90));
  nx = 3 * rand(2, 90) - 1.5;
  F = kernel_call('face_flux_1d', 0.05, 9.80665, nx, f);
  assert(isequal(size(F), [2 90 2]));
  assert(isequal(F, reference(0.05, 9.80665, nx, f)), 'normalFlux differs from the node formula');
end

function known_values_signs_and_dry_nodes()
  % h = 2, hu = 4, g = 10: (4, 28) for nx = 1, flipped for -1, zero for 0; a
  % node at the threshold keeps nx*hu and nx*0.5*g*h^2.
  F = kernel_call('face_flux_1d', 0, 10, [1 -1 0 2 1], cat(3, [2 2 2 0 -0.5], [4 4 4 3 2]));
  assert(isequal(F(:, :, 1), [4 -4 0 6 2]));
  assert(isequal(F(:, :, 2), [28 -28 0 0 1.25]));
end

function extra_pages_and_empty_extents()
  f = rand(3, 5, 4) + 0.1;
  nx = rand(3, 5);
  F4 = kernel_call('face_flux_1d', 0.2, 9.81, nx, f);
  F2 = kernel_call('face_flux_1d', 0.2, 9.81, nx, f(:, :, 1:2));
  assert(isequal(F4, F2) && size(F4, 3) == 2);
  F = kernel_call('face_flux_1d', 0, 9.81, [], zeros(0, 7));
  assert(isequal(size(F), [0 7 2]));
end

function wrong_counts_print_then_fail()
  [id, printed] = kernel_call_error('face_flux_1d', 1, 0, 9.81, ones(2, 2), ones(2, 2, 2), 5);
  assert(strcmp(id, 'face_flux_1d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:face_flux_1d.cpp:InvalidNumberInput,\n4 inputs required.\n')), printed);
end

function rejects_bad_inputs()
  f = ones(2, 3, 2);
  [id, ~, message] = kernel_call_error('face_flux_1d', 1, 0, 9.81, ones(5, 1), f);
  assert(strcmp(id, 'face_flux_1d:tooFewElements') && ~isempty(strfind(message, 'normalX')), id);
  id = kernel_call_error('face_flux_1d', 1, 0, 9.81, true(2, 3), f);
  assert(strcmp(id, 'face_flux_1d:notDouble'), id);
  id = kernel_call_error('face_flux_1d', 1, 0, 9.81, ones(2, 3), ones(2, 3));
  assert(strcmp(id, 'face_flux_1d:tooFewPages'), id);
  id = kernel_call_error('face_flux_1d', 1, 'a', 9.81, ones(2, 3), f);
  assert(strcmp(id, 'face_flux_1d:invalidScalar'), id);
end
