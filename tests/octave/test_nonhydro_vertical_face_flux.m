function tests = test_nonhydro_vertical_face_flux()
  tests = {@matches_node_formula, @scalar_input_is_dropped, @skips_faces_with_a_non_wet_element, ...
           @empty_extents, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function out = reference(status, f2e, ~, h, hu, hv, hw, nx, ny)
  % The node formula in the kernel's operation order; faces with an element
  % that is not wet (status 4) keep zero.
  out = ((hu .* hw) ./ h) .* nx + ((hv .* hw) ./ h) .* ny;
  wet = status(fix(f2e(1, :))) == 4 & status(fix(f2e(2, :))) == 4;
  out(:, ~wet) = 0;
end

function args = random_faces(Nfp, Nface, K)
  status = int8(4 * ones(1, K));
  status(2) = 5;
  status(5) = 7;
  f2e = randi(K, 2, Nface);
  d = @() 6 * rand(Nfp, Nface) - 3;
  angle = 2 * pi * rand(Nfp, Nface);
  args = {status, f2e, 0, 0.01 + 4 * rand(Nfp, Nface), d(), d(), d(), cos(angle), sin(angle)};
end

function matches_node_formula()
  rand('seed', 13);
  args = random_faces(4, 300, 20);
  out = kernel_call('nonhydro_vertical_face_flux', args{:});
  assert(isequal(size(out), [4 300]));
  assert(isequal(out, reference(args{:})), 'normal flux differs from the node formula');
  assert(any(all(out == 0, 1)), 'some faces should be skipped');
end

function scalar_input_is_dropped()
  rand('seed', 14);
  args = random_faces(3, 50, 10);
  base = kernel_call('nonhydro_vertical_face_flux', args{:});
  for s = {NaN, -Inf, 1e300, int8(3), true, [4 5 6]}
    args{3} = s{1};
    assert(isequal(kernel_call('nonhydro_vertical_face_flux', args{:}), base));
  end
  args{3} = [];
  assert(strcmp(kernel_call_error('nonhydro_vertical_face_flux', 1, args{:}), ...
                'nonhydro_vertical_face_flux:invalidScalar'));
  args{3} = 'x';
  assert(strcmp(kernel_call_error('nonhydro_vertical_face_flux', 1, args{:}), ...
                'nonhydro_vertical_face_flux:invalidScalar'));
end

function skips_faces_with_a_non_wet_element()
  status = int8([4 5 7 0 4]);
  f2e = [1 1 3 4 2 5.5; 5 2 1 5 3 1.5];
  o = ones(2, 6);
  out = kernel_call('nonhydro_vertical_face_flux', status, f2e, 0, 2 * o, 3 * o, 4 * o, 5 * o, 0.6 * o, 0.8 * o);
  v = ((3 * 5) / 2) * 0.6 + ((4 * 5) / 2) * 0.8;
  assert(isequal(out, repmat([v 0 0 0 0 v], 2, 1)));
end

function empty_extents()
  z = zeros(4, 0);
  out = kernel_call('nonhydro_vertical_face_flux', int8(4), zeros(2, 0), 0, z, z, z, z, z, z);
  assert(isequal(size(out), [4 0]));
  z = zeros(0, 2);
  out = kernel_call('nonhydro_vertical_face_flux', int8([4 4]), [1 2; 2 1], 0, z, z, z, z, z, z);
  assert(isequal(size(out), [0 2]));
end

function wrong_counts_print_then_fail()
  args = random_faces(2, 3, 6);
  [id, printed] = kernel_call_error('nonhydro_vertical_face_flux', 1, args{1:8});
  assert(strcmp(id, 'nonhydro_vertical_face_flux:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:nonhydro_vertical_face_flux.cpp:InvalidNumberInput,\n9 inputs required.\n')), ...
         printed);
  % No output requested: the diagnostic, then the result becomes ans.
  printed = kernel_call_printed('nonhydro_vertical_face_flux', args{:});
  assert(strcmp(printed, sprintf('Matlab:nonhydro_vertical_face_flux.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  args = random_faces(2, 3, 6);
  args{2} = [1 2 3; 6 6 1];
  for bad = [0 7 NaN Inf]
    a = args;
    a{2}(1) = bad;
    [id, ~, message] = kernel_call_error('nonhydro_vertical_face_flux', 1, a{:});
    assert(strcmp(id, 'nonhydro_vertical_face_flux:indexOutOfRange'), id);
    assert(~isempty(strfind(message, 'faceToElement')), message);
  end
  a = args; a{2} = a{2}(1, :);
  assert(strcmp(kernel_call_error('nonhydro_vertical_face_flux', 1, a{:}), 'nonhydro_vertical_face_flux:tooFewElements'));
  a = args; a{9} = a{9}(1:5);
  assert(strcmp(kernel_call_error('nonhydro_vertical_face_flux', 1, a{:}), 'nonhydro_vertical_face_flux:tooFewElements'));
  a = args; a{7} = single(a{7});
  assert(strcmp(kernel_call_error('nonhydro_vertical_face_flux', 1, a{:}), 'nonhydro_vertical_face_flux:notDouble'));
end
