function tests = test_time_interval_3d()
  tests = {@known_node_and_scalar_output, @matches_node_by_node_rule, @status_and_dry_elements, ...
           @nan_and_signed_zero_rules, @input_zero_is_never_read, @wrong_counts_print_then_fail, ...
           @rejects_bad_inputs};
end

function dt = reference(g, N, L, status, f)
  % Node by node: dt = dt < c ? dt : c, from 1e6; Dry elements left out.
  [Np, K, ~] = size(f);
  dt = 1e6;
  for k = 1:K
    if status(k) == 5
      continue;
    end
    for n = 1:Np
      h = f(n, k, 1);
      u = 0; v = 0;
      if status(k) == 4
        u = f(n, k, 2) / h; v = f(n, k, 3) / h;
      end
      c = (L(k) / (sqrt(u * u + v * v) + sqrt(g * h))) / ((N + N) + 1);
      if ~(dt < c)
        dt = c;
      end
    end
  end
end

function dt = call(varargin)
  dt = kernel_call('time_interval_3d', [], varargin{:});
end

function same = same_bits(a, b)
  same = (isnan(a) && isnan(b)) || (isequal(a, b) && sign(1 / a) == sign(1 / b));
end

function known_node_and_scalar_output()
  % h = 1, hu = 3, hv = 4, g = 9, L = 1, N = 1: (1/8)/3.
  dt = call(9, 1, 1, int8(4), cat(3, 1, 3, 4));
  assert(isa(dt, 'double') && isscalar(dt));
  assert(dt == (1 / 8) / 3);
  assert(call(9.81, 2, zeros(1, 0), int8([]), zeros(4, 0, 3)) == 1e6);
end

function matches_node_by_node_rule()
  rand('seed', 17);
  f = cat(3, 2 * rand(10, 300) + 0.01, rand(10, 300) - 0.5, rand(10, 300) - 0.5);
  L = rand(1, 300) + 0.5;
  status = int8(repmat([4 4 4 5 7 0], 1, 50));
  assert(same_bits(call(9.81, 3, L, status, f), reference(9.81, 3, L, status, f)));
  % Specials: zero, negative and NaN depths, zero and infinite lengths.
  f(1, 1:40:end, 1) = 0;
  f(2, 2:50:end, 1) = -1;
  L(3:70:end) = 0;
  L(5:90:end) = Inf;
  status(end) = 5;
  assert(same_bits(call(9.81, 3, L, status, f), reference(9.81, 3, L, status, f)));
end

function status_and_dry_elements()
  % Pressure-free and unknown codes: zero velocity whatever the discharges.
  f = cat(3, [4 4 4], [NaN 1e300 -7], [1 2 3]);
  assert(call(1, 0, [3 3 3], int8([7 0 -9]), f) == 3 / 2);
  % Wet divides with no depth threshold.
  assert(call(1, 0, 1, int8(4), cat(3, 1e-12, 1, 0)) < 1e-6);
  % Dry elements are left out, even with tiny lengths.
  assert(call(1, 0, [1e-9 1], int8([5 7]), cat(3, [1 1], [0 0], [0 0])) == 1);
  assert(call(1, 0, [1e-9 1e-9], int8([5 5]), ones(1, 2, 3)) == 1e6);
end

function nan_and_signed_zero_rules()
  f = ones(1, 4, 3);
  L = [1 1 1 1];
  f(1, 2, 1) = NaN;
  assert(~isnan(call(1, 0, L, int8([4 4 4 4]), f)), 'a NaN before the last node is replaced');
  f(1, 4, 1) = NaN;
  assert(isnan(call(1, 0, L, int8([4 4 4 4]), f)), 'a NaN at the last node survives');
  f(1, 4, 1) = 1;
  assert(isnan(call(1, 0, L, int8([4 4 5 5]), f)), 'Dry elements after a NaN do not replace it');
  % Of +0 and -0 the later stays.
  z = call(1, 0, [0 -0 2], int8([7 7 7]), ones(1, 3, 3));
  assert(z == 0 && 1 / z == -Inf);
  z = call(1, 0, [-0 0 2], int8([7 7 7]), ones(1, 3, 3));
  assert(z == 0 && 1 / z == Inf);
end

function input_zero_is_never_read()
  f = rand(2, 3, 3) + 0.5;
  expected = call(9.81, 1, [1 2 3], int8([4 7 4]), f);
  unused = {{}, struct('a', 1), 'text', @sin, int8([]), sparse(3, 3), NaN, {1, 2}};
  for i = 1:numel(unused)
    dt = kernel_call('time_interval_3d', unused{i}, 9.81, 1, [1 2 3], int8([4 7 4]), f);
    assert(isequal(dt, expected), 'input 0 of class %s changed the result', class(unused{i}));
  end
end

function wrong_counts_print_then_fail()
  [id, printed] = kernel_call_error('time_interval_3d', 1, 9.81, 1, 1, int8(4), ones(1, 1, 3));
  assert(strcmp(id, 'time_interval_3d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:time_interval_3d.cpp:InvalidNumberInput,\n6 inputs required.\n')), printed);
  % With no output asked for, the diagnostic comes and the call still completes.
  printed = kernel_call_printed('time_interval_3d', [], 9, 1, 1, int8(4), cat(3, 1, 3, 4));
  assert(strcmp(printed, sprintf('Matlab:time_interval_3d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  f = ones(2, 3, 3);
  s = int8([4 4 4]);
  [id, ~, message] = kernel_call_error('time_interval_3d', 1, [], 9.81, 1, [1 1], s, f);
  assert(strcmp(id, 'time_interval_3d:tooFewElements') && ~isempty(strfind(message, 'elementLength')), id);
  id = kernel_call_error('time_interval_3d', 1, [], 9.81, 1, int8([1 1 1]), s, f);
  assert(strcmp(id, 'time_interval_3d:notDouble'), id);
  [id, ~, message] = kernel_call_error('time_interval_3d', 1, [], 9.81, 1, [1 1 1], int8([4 4]), f);
  assert(strcmp(id, 'time_interval_3d:tooFewBytes') && ~isempty(strfind(message, 'cellStatus')), id);
  id = kernel_call_error('time_interval_3d', 1, [], 9.81, 1, [1 1 1], s, ones(2, 3, 2));
  assert(strcmp(id, 'time_interval_3d:tooFewPages'), id);
  id = kernel_call_error('time_interval_3d', 1, [], 9.81, [], [1 1 1], s, f);
  assert(strcmp(id, 'time_interval_3d:invalidScalar'), id);
end
