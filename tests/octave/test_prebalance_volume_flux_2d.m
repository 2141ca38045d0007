function tests = test_prebalance_volume_flux_2d()
  tests = {@matches_node_formula, @dry_pressure_free_and_other_codes, ...
           @threshold_is_strict_and_nan_gives_zeros, @extra_pages_and_empty_extents, ...
           @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function [E, G] = reference(threshold, g, status, f)
  % The node formula, element by element, in the kernel's operation order.
  [Np, K, ~] = size(f);
  E = zeros(Np, K, 3);
  G = zeros(Np, K, 3);
  for k = 1:K
    if status(k) == 5
      continue;
    end
    gk = g;
    if status(k) == 7
      gk = 0;
    end
    for n = 1:Np
      h = f(n, k, 1); hu = f(n, k, 2); hv = f(n, k, 3); z = f(n, k, 4);
      if h > threshold
        p = (0.5 * gk) * (h * h - z * z);
        q = (hu * hv) / h;
        E(n, k, :) = [hu, (hu * hu) / h + p, q];
        G(n, k, :) = [hv, q, (hv * hv) / h + p];
      end
    end
  end
end

function matches_node_formula()
  rand('seed', 3);
  f = cat(3, 3 * rand(5, 40) - 0.1, 10 * rand(5, 40) - 5, 10 * rand(5, 40) - 5, 4 * rand(5, 40) - 2);
  status = int8(repmat([4 5 7 0 -2 4 4 6], 1, 5));
  [E, G] = kernel_call('prebalance_volume_flux_2d', 0.05, 9.80665, status, f);
  [Er, Gr] = reference(0.05, 9.80665, status, f);
  assert(isequal(size(E), [5 40 3]) && isequal(size(G), [5 40 3]));
  assert(isequal(E, Er), 'E differs from the node formula');
  assert(isequal(G, Gr), 'G differs from the node formula');
end

function dry_pressure_free_and_other_codes()
  f = cat(3, [2 2 2 2], [4 4 4 4], [6 6 6 6], [1 1 1 1]);
  [E, G] = kernel_call('prebalance_volume_flux_2d', 0, 10, int8([5 7 4 99]), f);
  assert(isequal(E(:, :, 1), [0 4 4 4]));
  assert(isequal(E(:, :, 2), [0 8 23 23]));   % 16/2, plus 0.5*10*(4 - 1) where gravity acts
  assert(isequal(G(:, :, 3), [0 18 33 33]));
  assert(isequal(E(:, :, 3), [0 12 12 12]) && isequal(G(:, :, 2), [0 12 12 12]));
end

function threshold_is_strict_and_nan_gives_zeros()
  t = 0.25;
  f = cat(3, [t, t + eps(t), NaN], [1 1 1], [2 2 2], [0 0 0]);
  [E, G] = kernel_call('prebalance_volume_flux_2d', t, 9.81, int8(4 * ones(1, 3)), f);
  assert(all(E(1, 1, :) == 0) && all(G(1, 1, :) == 0), 'h equal to the threshold must give zeros');
  assert(E(1, 2, 1) == 1 && G(1, 2, 1) == 2, 'h just above the threshold must give the flux');
  assert(all(E(1, 3, :) == 0) && all(G(1, 3, :) == 0), 'a NaN depth must give zeros');
  [E, G] = kernel_call('prebalance_volume_flux_2d', NaN, 9.81, int8(4 * ones(1, 3)), f);
  assert(~any(E(:)) && ~any(G(:)), 'a NaN threshold must give zeros');
end

function extra_pages_and_empty_extents()
  f = rand(3, 4, 6) + 0.5;
  [E6, G6] = kernel_call('prebalance_volume_flux_2d', 0, 9.81, int8(4 * ones(1, 4)), f);
  [E4, G4] = kernel_call('prebalance_volume_flux_2d', 0, 9.81, int8(4 * ones(1, 4)), f(:, :, 1:4));
  assert(isequal(E6, E4) && isequal(G6, G4) && size(E6, 3) == 3);
  [E, G] = kernel_call('prebalance_volume_flux_2d', 0, 9.81, int8(zeros(1, 0)), zeros(3, 0, 4));
  assert(isequal(size(E), [3 0 3]) && isequal(size(G), [3 0 3]));
end

function wrong_counts_print_then_fail()
  args = {0, 9.81, int8([4 4]), ones(2, 2, 4)};
  [id, printed] = kernel_call_error('prebalance_volume_flux_2d', 2, args{:}, 1);
  assert(strcmp(id, 'prebalance_volume_flux_2d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberInput,\n4 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('prebalance_volume_flux_2d', 1, args{:});
  assert(strcmp(id, 'prebalance_volume_flux_2d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberOutput,\n')), printed);
  [id, printed] = kernel_call_error('prebalance_volume_flux_2d', 0, args{1:3});
  assert(strcmp(id, 'prebalance_volume_flux_2d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf(['Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberInput,\n4 inputs required.\n' ...
                                  'Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberOutput,\n'])), printed);
end

function rejects_bad_inputs()
  f = ones(2, 3, 4);
  id = kernel_call_error('prebalance_volume_flux_2d', 2, 0, 9.81, int8([4 4]), f);
  assert(strcmp(id, 'prebalance_volume_flux_2d:tooFewBytes'), id);
  id = kernel_call_error('prebalance_volume_flux_2d', 2, 0, 9.81, int8([4 4 4]), ones(2, 3, 3));
  assert(strcmp(id, 'prebalance_volume_flux_2d:tooFewPages'), id);
  id = kernel_call_error('prebalance_volume_flux_2d', 2, 0, 9.81, int8([4 4 4]), single(f));
  assert(strcmp(id, 'prebalance_volume_flux_2d:notDouble'), id);
  id = kernel_call_error('prebalance_volume_flux_2d', 2, 0, 9.81, int8([4 4 4]), sparse(6, 4));
  assert(strcmp(id, 'prebalance_volume_flux_2d:notDouble'), id);
  id = kernel_call_error('prebalance_volume_flux_2d', 2, [], 9.81, int8([4 4 4]), f);
  assert(strcmp(id, 'prebalance_volume_flux_2d:invalidScalar'), id);
end
