function tests = test_wd_volume_flux_1d()
  tests = {@matches_node_formula, @shallow_nodes_keep_the_pressure, ...
           @extra_pages_and_empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function F = reference(threshold, g, status, f)
  % The node formula, element by element, in the kernel's operation order.
  [Np, K, ~] = size(f);
  F = zeros(Np, K, 2);
  for k = 1:K
    if status(k) == 5
      continue;
    end
    gk = g;
    if status(k) == 7
      gk = 0;
    end
    for n = 1:Np
      h = f(n, k, 1); hu = f(n, k, 2); z = f(n, k, 3);
      p = (0.5 * gk) * (h * h - z * z);
      if h > threshold
        F(n, k, :) = [hu, (hu * hu) / h + p];
      else
        F(n, k, :) = [0, p];
      end
    end
  end
end

function matches_node_formula()
  rand('seed', 4);
  f = cat(3, 3.2 * rand(5, 48) - 0.2, 10 * rand(5, 48) - 5, 4 * rand(5, 48) - 2);
  status = int8(repmat([4 5 7 0 -2 4 99 6], 1, 6));
  F = kernel_call('wd_volume_flux_1d', 0.05, 9.80665, status, f);
  assert(isequal(size(F), [5 48 2]));
  assert(isequal(F, reference(0.05, 9.80665, status, f)), 'F differs from the node formula');
end

function shallow_nodes_keep_the_pressure()
  % h = 0, z = 1, g = 10: (0, -5) when wet or of another code, (0, 0) when
  % pressure-free, nothing when dry.
  f = cat(3, zeros(1, 4), 9 * ones(1, 4), ones(1, 4));
  F = kernel_call('wd_volume_flux_1d', 0.1, 10, int8([4 99 7 5]), f);
  assert(isequal(F(:, :, 1), [0 0 0 0]));
  assert(isequal(F(:, :, 2), [-5 -5 0 0]));
  assert(1 / F(1, 3, 2) == -Inf, 'pressure-free: 0*(0 - 1) is -0');
end

function extra_pages_and_empty_extents()
  f = rand(3, 4, 5) + 0.5;
  s = int8([4 7 5 1]);
  F5 = kernel_call('wd_volume_flux_1d', 0, 9.81, s, f);
  F3 = kernel_call('wd_volume_flux_1d', 0, 9.81, s, f(:, :, 1:3));
  assert(isequal(F5, F3) && size(F5, 3) == 2);
  F = kernel_call('wd_volume_flux_1d', 0, 9.81, int8([]), zeros(3, 0));
  assert(isequal(size(F), [3 0 2]));
end

function wrong_counts_print_then_fail()
  args = {0, 9.81, int8([4 4]), ones(2, 2, 3)};
  [id, printed] = kernel_call_error('wd_volume_flux_1d', 2, args{:});
  assert(strcmp(id, 'wd_volume_flux_1d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:wd_volume_flux_1d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  f = ones(2, 3, 3);
  [id, ~, message] = kernel_call_error('wd_volume_flux_1d', 1, 0, 9.81, int8([4 4]), f);
  assert(strcmp(id, 'wd_volume_flux_1d:tooFewBytes') && ~isempty(strfind(message, 'cellStatus')), id);
  id = kernel_call_error('wd_volume_flux_1d', 1, 0, 9.81, int8([4 4 4]), ones(2, 3, 2));
  assert(strcmp(id, 'wd_volume_flux_1d:tooFewPages'), id);
  id = kernel_call_error('wd_volume_flux_1d', 1, 0, 9.81, int8([4 4 4]), single(f));
  assert(strcmp(id, 'wd_volume_flux_1d:notDouble'), id);
  id = kernel_call_error('wd_volume_flux_1d', 1, [], 9.81, int8([4 4 4]), f);
  assert(strcmp(id, 'wd_volume_flux_1d:invalidScalar'), id);
end
