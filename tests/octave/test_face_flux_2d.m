function tests = test_face_flux_2d()
  tests = {@matches_node_formula, @dry_nodes_keep_discharge_and_pressure, ...
           @extra_pages_and_empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function F = reference(threshold, g, nx, ny, f)
  % The node formula in the kernel's operation order; the mass flux is the
  % stored discharge, the pressure 0.5*g*h^2 at every node.
  [Nfp, Ne, ~] = size(f);
  F = zeros(Nfp, Ne, 3);
  for e = 1:Ne
    for n = 1:Nfp
      h = f(n, e, 1); hu = f(n, e, 2); hv = f(n, e, 3);
      u = 0; v = 0;
      if h > threshold
        u = hu / h; v = hv / h;
      end
      w = (h * u) * v;
      p = (0.5 * g) * (h * h);
      E = [hu, (h * u) * u + p, w];
      G = [hv, w, (h * v) * v + p];
      F(n, e, :) = nx(n, e) * E + ny(n, e) * G;
    end
  end
end

function matches_node_formula()
  rand('seed', 21);
  f = cat(3, 3.2 * rand(4, 60) - 0.2, 10 * rand(4, 60) - 5, 10 * rand(4, 60) - 5);
  nx = 2 * rand(4, 60) - 1;
  ny = 2 * rand(4, 60) - 1;
  F = kernel_call('face_flux_2d', 0.05, 9.80665, nx, ny, f);
  assert(isequal(size(F), [4 60 3]));
  assert(isequal(F, reference(0.05, 9.80665, nx, ny, f)), 'normalFlux differs from the node formula');
  % The first page is the discharge as stored: h*(hu/h) differs at some node.
  h = f(:, :, 1); hu = f(:, :, 2);
  assert(any(h(:) > 0.05 & h(:) .* (hu(:) ./ h(:)) ~= hu(:)));
end

function dry_nodes_keep_discharge_and_pressure()
  % At or below the threshold (0.5): nx*hu + ny*hv, nx*0.5*g*h^2, ny*0.5*g*h^2.
  f = cat(3, [0.5 0.25 -0.4], [3 -2 1], [7 4 -6]);
  nx = [1 0.5 -0.25];
  ny = [2 -1 0.75];
  F = kernel_call('face_flux_2d', 0.5, 10, nx, ny, f);
  p = 5 * [0.5 0.25 -0.4] .^ 2;
  assert(isequal(F(:, :, 1), nx .* [3 -2 1] + ny .* [7 4 -6]));
  assert(isequal(F(:, :, 2), nx .* p) && isequal(F(:, :, 3), ny .* p));
end

function extra_pages_and_empty_extents()
  f = rand(3, 5, 6) + 0.1;
  nx = rand(3, 5); ny = rand(3, 5);
  F6 = kernel_call('face_flux_2d', 0.2, 9.81, nx, ny, f);
  F3 = kernel_call('face_flux_2d', 0.2, 9.81, nx, ny, f(:, :, 1:3));
  assert(isequal(F6, F3) && size(F6, 3) == 3);
  F = kernel_call('face_flux_2d', 0, 9.81, [], [], zeros(4, 0));
  assert(isequal(size(F), [4 0 3]));
end

function wrong_counts_print_then_fail()
  args = {0, 9.81, ones(2, 2), ones(2, 2), ones(2, 2, 3)};
  [id, printed] = kernel_call_error('face_flux_2d', 1, args{1:4});
  assert(strcmp(id, 'face_flux_2d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:face_flux_2d.cpp:InvalidNumberInput,\n5 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('face_flux_2d', 2, args{:});
  assert(strcmp(id, 'face_flux_2d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:face_flux_2d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  f = ones(2, 3, 3);
  n = ones(2, 3);
  [id, ~, message] = kernel_call_error('face_flux_2d', 1, 0, 9.81, ones(1, 5), n, f);
  assert(strcmp(id, 'face_flux_2d:tooFewElements') && ~isempty(strfind(message, 'normalX')), id);
  [id, ~, message] = kernel_call_error('face_flux_2d', 1, 0, 9.81, n, single(n), f);
  assert(strcmp(id, 'face_flux_2d:notDouble') && ~isempty(strfind(message, 'normalY')), id);
  id = kernel_call_error('face_flux_2d', 1, 0, 9.81, n, n, ones(2, 3, 2));
  assert(strcmp(id, 'face_flux_2d:tooFewPages'), id);
  id = kernel_call_error('face_flux_2d', 1, 0, 9.81, n, n, int8(f));
  assert(strcmp(id, 'face_flux_2d:notDouble'), id);
  id = kernel_call_error('face_flux_2d', 1, 0, {}, n, n, f);
  assert(strcmp(id, 'face_flux_2d:invalidScalar'), id);
end
