function tests = test_downwind_flux_2d()
  tests = {@matches_node_formula, @side_choice_at_zero_and_nan, @skips_faces_with_a_non_wet_element, ...
           @empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function [X, Y] = reference(status, f2e, huL, hvL, huA, hvA, xL, xA, yL, yA, nx, ny)
  % The node formula in the kernel's operation order; faces with an element
  % that is not wet (status 4) keep zero.
  qnL = huL .* nx + hvL .* ny;
  qnA = huA .* nx + hvA .* ny;
  X = ((xL + xA) .* 0.5) .* nx;
  Y = ((yL + yA) .* 0.5) .* ny;
  adjacent = qnL <= 0 & qnA < 0;   % flow enters the local element: local values
  X(adjacent) = xL(adjacent) .* nx(adjacent);
  Y(adjacent) = yL(adjacent) .* ny(adjacent);
  local = qnL > 0 & qnA >= 0;      % flow leaves the local element: adjacent values
  X(local) = xA(local) .* nx(local);
  Y(local) = yA(local) .* ny(local);
  wet = status(fix(f2e(1, :))) == 4 & status(fix(f2e(2, :))) == 4;
  X(:, ~wet) = 0;
  Y(:, ~wet) = 0;
end

function args = random_faces(Nfp, Nface, K)
  status = int8(4 * ones(1, K));
  status(1) = 5;
  status(K) = 7;
  f2e = randi(K, 2, Nface);
  d = @() 4 * rand(Nfp, Nface) - 2;
  v = @() 20 * rand(Nfp, Nface) - 10;
  angle = 2 * pi * rand(Nfp, Nface);
  args = {status, f2e, d(), d(), d(), d(), v(), v(), v(), v(), cos(angle), sin(angle)};
end

function matches_node_formula()
  rand('seed', 9);
  args = random_faces(4, 300, 20);
  [X, Y] = kernel_call('downwind_flux_2d', args{:});
  [Xr, Yr] = reference(args{:});
  assert(isequal(size(X), [4 300]) && isequal(size(Y), [4 300]));
  assert(isequal(X, Xr), 'downwindFluxX differs from the node formula');
  assert(isequal(Y, Yr), 'downwindFluxY differs from the node formula');
  assert(any(all(X == 0, 1)), 'some faces should be skipped');
end

function side_choice_at_zero_and_nan()
  % Normal (1, 0): qn is hu. x-paired field 2 (local), 3 (adjacent); y-paired 5, 7.
  huL = [1 0 0 1 -1 NaN 1];
  huA = [0 -1 0 -1 1 -1 NaN];
  o = ones(1, 7);
  [X, Y] = kernel_call('downwind_flux_2d', int8([4 4]), repmat([1; 2], 1, 7), huL, 0 * o, huA, 0 * o, ...
                       2 * o, 3 * o, 5 * o, 7 * o, o, -o);
  assert(isequal(X, [3 2 2.5 2.5 2.5 2.5 2.5]), mat2str(X));
  assert(isequal(Y, -[7 5 6 6 6 6 6]), mat2str(Y));
end

function skips_faces_with_a_non_wet_element()
  status = int8([4 5 7 0 4]);
  f2e = [1 1 3 4 2 5.5; 5 2 1 5 3 1.5];
  o = ones(3, 6);
  [X, Y] = kernel_call('downwind_flux_2d', status, f2e, o, o, o, o, 2 * o, 3 * o, 5 * o, 7 * o, 0.6 * o, 0.8 * o);
  w = [1 0 0 0 0 1];
  assert(isequal(X, repmat(w * (3 * 0.6), 3, 1)) && isequal(Y, repmat(w * (7 * 0.8), 3, 1)));
end

function empty_extents()
  z = zeros(2, 0);
  [X, Y] = kernel_call('downwind_flux_2d', int8([4 4]), zeros(2, 0), z, z, z, z, z, z, z, z, z, z);
  assert(isequal(size(X), [2 0]) && isequal(size(Y), [2 0]));
  z = zeros(0, 1);
  [X, Y] = kernel_call('downwind_flux_2d', int8([4 4]), [1; 2], z, z, z, z, z, z, z, z, z, z);
  assert(isequal(size(X), [0 1]) && isequal(size(Y), [0 1]));
end

function wrong_counts_print_then_fail()
  args = random_faces(2, 3, 4);
  [id, printed] = kernel_call_error('downwind_flux_2d', 2, args{:}, 1);
  assert(strcmp(id, 'downwind_flux_2d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:downwind_flux_2d.cpp:InvalidNumberInput,\n12 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('downwind_flux_2d', 1, args{:});
  assert(strcmp(id, 'downwind_flux_2d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:downwind_flux_2d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  args = random_faces(2, 3, 4);
  args{2} = [1 2 3; 4 4 1];
  for bad = [0 5 NaN -Inf]
    a = args;
    a{2}(end) = bad;
    [id, ~, message] = kernel_call_error('downwind_flux_2d', 2, a{:});
    assert(strcmp(id, 'downwind_flux_2d:indexOutOfRange'), id);
    assert(~isempty(strfind(message, 'faceToElement')), message);
  end
  a = args; a{2} = a{2}(:, 1:2);
  assert(strcmp(kernel_call_error('downwind_flux_2d', 2, a{:}), 'downwind_flux_2d:tooFewElements'));
  a = args; a{10} = a{10}(1:5);
  assert(strcmp(kernel_call_error('downwind_flux_2d', 2, a{:}), 'downwind_flux_2d:tooFewElements'));
  a = args; a{3} = int8(a{3});
  assert(strcmp(kernel_call_error('downwind_flux_2d', 2, a{:}), 'downwind_flux_2d:notDouble'));
end
