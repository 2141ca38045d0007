function tests = test_nonhydro_vertical_volume_flux()
  tests = {@matches_node_formula, @only_wet_elements_carry_a_flux, ...
           @product_before_division, @empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function [E, G] = reference(status, hu, hv, hw, h)
  % The node formula on wet elements, product first.
  E = zeros(size(h));
  G = zeros(size(h));
  for k = 1:size(h, 2)
    if status(k) == 4
      E(:, k) = (hu(:, k) .* hw(:, k)) ./ h(:, k);
      G(:, k) = (hv(:, k) .* hw(:, k)) ./ h(:, k);
    end
  end
end

function matches_node_formula()
  rand('seed', 5);
  hu = 10 * rand(6, 48) - 5; hv = 10 * rand(6, 48) - 5; hw = 4 * rand(6, 48) - 2; h = 3 * rand(6, 48) + 0.01;
  status = int8(repmat([4 5 7 0 4 -1 6 4], 1, 6));
  [E, G] = kernel_call('nonhydro_vertical_volume_flux', status, hu, hv, hw, h);
  [Er, Gr] = reference(status, hu, hv, hw, h);
  assert(isequal(size(E), [6 48]) && isequal(size(G), [6 48]));
  assert(isequal(E, Er), 'volumeFluxX differs from the node formula');
  assert(isequal(G, Gr), 'volumeFluxY differs from the node formula');
end

function only_wet_elements_carry_a_flux()
  % Dry (5), PressureFree (7) and other codes all stay zero.
  o = ones(2, 4);
  [E, G] = kernel_call('nonhydro_vertical_volume_flux', int8([5 7 4 1]), 2 * o, -3 * o, 0.5 * o, 4 * o);
  assert(isequal(E, [0 0 0.25 0; 0 0 0.25 0]), 'only status 4 is wet');
  assert(isequal(G, [0 0 -0.375 0; 0 0 -0.375 0]), 'only status 4 is wet');
end

function product_before_division()
  % hu*hw overflows before the division; dividing first would give 1e200.
  [E, G] = kernel_call('nonhydro_vertical_volume_flux', int8(4), 1e200, -1e200, 1e200, 1e200);
  assert(E == Inf && G == -Inf, 'the product must be formed before the division');
end

function empty_extents()
  [E, G] = kernel_call('nonhydro_vertical_volume_flux', int8(zeros(1, 0)), zeros(3, 0), zeros(3, 0), ...
                       zeros(3, 0), zeros(3, 0));
  assert(isequal(size(E), [3 0]) && isequal(size(G), [3 0]));
  [E, G] = kernel_call('nonhydro_vertical_volume_flux', int8([4 4]), zeros(0, 2), zeros(0, 2), ...
                       zeros(0, 2), zeros(0, 2));
  assert(isequal(size(E), [0 2]) && isequal(size(G), [0 2]));
end

function wrong_counts_print_then_fail()
  o = ones(2, 2);
  [id, printed] = kernel_call_error('nonhydro_vertical_volume_flux', 2, int8([4 4]), o, o, o);
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:nonhydro_vertical_volume_flux.cpp:InvalidNumberInput,\n5 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('nonhydro_vertical_volume_flux', 1, int8([4 4]), o, o, o, o);
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:nonhydro_vertical_volume_flux.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  o = ones(2, 3);
  [id, ~, msg] = kernel_call_error('nonhydro_vertical_volume_flux', 2, int8([4 4]), o, o, o, o);
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:tooFewBytes'), id);
  assert(~isempty(strfind(msg, 'cellStatus')), msg);
  [id, ~, msg] = kernel_call_error('nonhydro_vertical_volume_flux', 2, int8([4 4 4]), o, o, ones(1, 5), o);
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:tooFewElements'), id);
  assert(~isempty(strfind(msg, 'verticalMomentum')), msg);
  id = kernel_call_error('nonhydro_vertical_volume_flux', 2, int8([4 4 4]), single(o), o, o, o);
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:notDouble'), id);
  id = kernel_call_error('nonhydro_vertical_volume_flux', 2, int8([4 4 4]), o, o, o, sparse(o));
  assert(strcmp(id, 'nonhydro_vertical_volume_flux:notDouble'), id);
end
