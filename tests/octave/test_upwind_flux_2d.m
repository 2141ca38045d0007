function tests = test_upwind_flux_2d()
  tests = {@matches_node_formula, @side_choice_at_zero_and_nan, @skips_faces_with_a_non_wet_element, ...
           @empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function out = reference(status, f2e, hL, huL, hvL, qL, hA, huA, hvA, qA, nx, ny)
  % The node formula in the kernel's operation order; faces with an element
  % that is not wet (status 4) keep zero.
  qnL = huL .* nx + hvL .* ny;
  qnA = huA .* nx + hvA .* ny;
  out = (((qL .* huL) ./ hL + (qA .* huA) ./ hA) .* nx) .* 0.5 + (((qL .* hvL) ./ hL + (qA .* hvA) ./ hA) .* ny) .* 0.5;
  adjacent = qnL <= 0 & qnA < 0;
  local = qnL > 0 & qnA >= 0;
  out(adjacent) = (qA(adjacent) .* qnA(adjacent)) ./ hA(adjacent);
  out(local) = (qL(local) .* qnL(local)) ./ hL(local);
  wet = status(fix(f2e(1, :))) == 4 & status(fix(f2e(2, :))) == 4;
  out(:, ~wet) = 0;
end

function args = random_faces(Nfp, Nface, K)
  status = int8(4 * ones(1, K));
  status(2) = 5;
  status(3) = 7;
  f2e = randi(K, 2, Nface);
  h = @() 0.01 + 3 * rand(Nfp, Nface);
  d = @() 4 * rand(Nfp, Nface) - 2;
  angle = 2 * pi * rand(Nfp, Nface);
  args = {status, f2e, h(), d(), d(), d(), h(), d(), d(), d(), cos(angle), sin(angle)};
end

function matches_node_formula()
  rand('seed', 5); randn('seed', 5);
  args = random_faces(4, 300, 20);
  out = kernel_call('upwind_flux_2d', args{:});
  assert(isequal(size(out), [4 300]));
  assert(isequal(out, reference(args{:})), 'upwind flux differs from the node formula');
  % Nodes of every branch are present, and skipped faces too.
  qnL = args{4} .* args{11} + args{5} .* args{12};
  qnA = args{8} .* args{11} + args{9} .* args{12};
  assert(any(qnL(:) > 0 & qnA(:) >= 0) && any(qnL(:) <= 0 & qnA(:) < 0) && any(qnL(:) .* qnA(:) < 0));
  assert(any(all(out == 0, 1)));
end

function side_choice_at_zero_and_nan()
  % Normal (1, 0): qn is hu. Local q = 3, h = 2; adjacent q = 5, h = 4.
  huL = [2 0 2 -2 NaN 2];
  huA = [0 -2 -2 2 -2 NaN];
  o = ones(1, 6);
  out = kernel_call('upwind_flux_2d', int8([4 4]), repmat([1; 2], 1, 6), 2 * o, huL, o, 3 * o, ...
                    4 * o, huA, 7 * o, 5 * o, o, 0 * o);
  central = ((3 * huL) / 2 + (5 * huA) / 4) * 0.5;
  assert(out(1) == 3, 'qnL > 0, qnA = 0 takes the local side');
  assert(out(2) == -2.5, 'qnL = 0, qnA < 0 takes the adjacent side');
  assert(isequal(out(3:4), central(3:4)), 'converging and diverging flow take the central formula');
  assert(all(isnan(out(5:6))), 'a NaN discharge takes the central formula');
end

function skips_faces_with_a_non_wet_element()
  status = int8([4 5 7 0 4 -1]);
  f2e = [1 1 3 4 6 2 5.9; 5 2 1 5 1 3 1.2];
  o = ones(2, 7);
  out = kernel_call('upwind_flux_2d', status, f2e, 2 * o, o, o, 3 * o, 2 * o, o, o, 3 * o, 0.6 * o, 0.8 * o);
  v = (3 * (1 * 0.6 + 1 * 0.8)) / 2;
  assert(isequal(out, [v v; 0 0; 0 0; 0 0; 0 0; 0 0; v v]'));
end

function empty_extents()
  out = kernel_call('upwind_flux_2d', int8([4 4]), zeros(2, 0), zeros(3, 0), zeros(3, 0), zeros(3, 0), ...
                    zeros(3, 0), zeros(3, 0), zeros(3, 0), zeros(3, 0), zeros(3, 0), zeros(3, 0), zeros(3, 0));
  assert(isequal(size(out), [3 0]));
  z = zeros(0, 2);
  out = kernel_call('upwind_flux_2d', int8([4 4]), [1 2; 2 1], z, z, z, z, z, z, z, z, z, z);
  assert(isequal(size(out), [0 2]));
end

function wrong_counts_print_then_fail()
  args = random_faces(2, 3, 4);
  [id, printed] = kernel_call_error('upwind_flux_2d', 1, args{1:11});
  assert(strcmp(id, 'upwind_flux_2d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:upwind_flux_2d.cpp:InvalidNumberInput,\n12 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('upwind_flux_2d', 2, args{:});
  assert(strcmp(id, 'upwind_flux_2d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:upwind_flux_2d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  args = random_faces(2, 3, 4);
  args{2} = [1 2 3; 4 4 1];
  for bad = [0 5 NaN Inf -1]
    for entry = 1:6
      a = args;
      a{2}(entry) = bad;
      [id, ~, message] = kernel_call_error('upwind_flux_2d', 1, a{:});
      assert(strcmp(id, 'upwind_flux_2d:indexOutOfRange'), id);
      assert(~isempty(strfind(message, 'faceToElement')), message);
    end
  end
  a = args; a{1} = int8([4 4 4]);
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:indexOutOfRange'));
  a = args; a{2} = [1 2 3 4 4];
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:tooFewElements'));
  a = args; a{2} = int32(a{2});
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:notDouble'));
  a = args; a{12} = a{12}(:, 1:2);
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:tooFewElements'));
  a = args; a{7} = single(a{7});
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:notDouble'));
  a = args; a{1} = sparse([4 4 4 4]);
  assert(strcmp(kernel_call_error('upwind_flux_2d', 1, a{:}), 'upwind_flux_2d:tooFewBytes'));
end
