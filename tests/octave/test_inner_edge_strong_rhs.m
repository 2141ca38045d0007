function tests = test_inner_edge_strong_rhs()
  tests = {@random_faces_match_reference, @general_inverse_mass_within_rounding, ...
           @closed_form_on_small_meshes, @zero_jacobian_gives_inf_or_nan_there_only, ...
           @no_faces_and_empty_extents, @rejects_bad_inputs_and_wrong_counts, @no_blas_in_the_edge_modules};
end

function rhs = call(c)
  args = edge_rhs_args(c, true);
  rhs = kernel_call('inner_edge_strong_rhs', args{:});
end

function [expected, s] = reference(c)
  [expected, s] = edge_rhs_reference('numerical', c.invM, c.M, c.faceToElement, c.nodeL, c.nodeA, c.faceJ, c.J, ...
                                c.fL, c.fA, c.fN);
end

function random_faces_match_reference()
  c = edge_rhs_random_case(6, 40, 3, 60, 3, 11);
  rhs = call(c);
  assert(isequal(size(rhs), [6 40 3]));
  assert(isequal(rhs, reference(c)), 'differs from the reference');
end

function general_inverse_mass_within_rounding()
  c = edge_rhs_random_case(10, 30, 4, 45, 2, 5);
  c.invM = c.invM + 0.2 * (2 * rand(10) - 1);
  [expected, s] = reference(c);
  rhs = call(c);
  for n = 1:2
    bound = 4 * 10 * eps * (abs(c.invM) * abs(s(:, :, n))) ./ abs(c.J);
    assert(all(all(abs(rhs(:, :, n) - expected(:, :, n)) <= bound)), 'beyond rounding');
  end
end

function v = face_vector(c, f, d)
  % M * (faceJ .* d) for one face.
  v = c.M * (c.faceJ(:, f) .* d(:));
end

function closed_form_on_small_meshes()
  c = edge_rhs_small_mesh();
  rhs = call(c);
  assert(isequal(size(rhs), [3 3]), 'a two-dimensional fluxLocal gives Nfield = 1');
  vL = face_vector(c, 1, [3 - 1, 1 - 1]);
  vA = face_vector(c, 1, [-1 - 1, 5 - 1]);
  expected = [c.invM * [vL; 0] ./ c.J(:, 1), c.invM * [-vA(2); 0; -vA(1)] ./ c.J(:, 2), zeros(3, 1)];
  assert(isequal(rhs, expected), 'one face: both sides, untouched element zero');

  same = c;   % both sides in element 2 (2.75 truncates to 2), nodes 1, 2 and 2, 1
  same.faceToElement = [2; 2.75];
  same.nodeA = [2; 1];
  s = [vL(1) - vA(2); vL(2) - vA(1); 0];
  assert(isequal(call(same), [zeros(3, 1), c.invM * s ./ c.J(:, 2), zeros(3, 1)]), 'face within one element');

  two = c;    % faces (1 -> 3) and (3 -> 1); fractional indices; both adjacent nodes of face 2 are node 2
  two.faceToElement = [1.9 3.999; 3.5 1.0];
  two.nodeL = [1 3.2; 2.5 2];
  two.nodeA = [3 2; 1.1 2.999];
  two.faceJ = [2 1; 4 0.5];
  two.fL = [3 2; 1 -2];
  two.fA = [-1 4; 5 6];
  two.fN = [1 0; 1 2];
  aL = face_vector(two, 1, [2 0]); aA = face_vector(two, 1, [-2 4]);
  bL = face_vector(two, 2, [2 -4]); bA = face_vector(two, 2, [4 4]);
  s1 = [aL(1); aL(2) - bA(1) - bA(2); 0];
  s3 = [-aA(2); bL(2); -aA(1) + bL(1)];
  assert(isequal(call(two), [c.invM * s1 ./ c.J(:, 1), zeros(3, 1), c.invM * s3 ./ c.J(:, 3)]), ...
         'two faces into one node');
end

function zero_jacobian_gives_inf_or_nan_there_only()
  c = edge_rhs_small_mesh();
  finite = call(c);
  c.J(1, 1) = 0;
  c.J(3, 3) = 0;
  rhs = call(c);
  bad = false(3);
  bad(1, 1) = true;
  bad(3, 3) = true;
  assert(all(~isfinite(rhs(bad))) && isnan(rhs(3, 3)), 'Inf or NaN where the Jacobian is 0');
  assert(isequal(rhs(~bad), finite(~bad)), 'other nodes unchanged');
end

function no_faces_and_empty_extents()
  c = edge_rhs_random_case(4, 5, 2, 0, 3, 2);
  c.fL = zeros(2, 0, 3); c.fA = c.fL; c.fN = c.fL;
  rhs = call(c);
  assert(isequal(size(rhs), [4 5 3]) && ~any(rhs(:)));
  c.J = zeros(4, 0);
  assert(isequal(size(call(c)), [4 0 3]));
  c = edge_rhs_random_case(4, 5, 2, 7, 2, 3);
  c.fA = c.fL; c.fN = c.fL;
  assert(~any(reshape(call(c), [], 1)), 'equal fluxes give zero');
end

function rejects_bad_inputs_and_wrong_counts()
  c = edge_rhs_small_mesh();
  args = edge_rhs_args(c, true);
  cases = {3, [0.5; 2], 'indexOutOfRange'; 3, [1; 4], 'indexOutOfRange'; 3, [1; NaN], 'indexOutOfRange'; ...
           4, [1; 4], 'indexOutOfRange'; 5, [0; 1], 'indexOutOfRange'; 1, eye(2), 'tooFewElements'; ...
           2, 1, 'tooFewElements'; 6, 1, 'tooFewElements'; 10, 1, 'tooFewElements'; ...
           9, single(c.fA), 'notDouble'; 7, sparse(c.J), 'notDouble'; 3, int8([1; 2]), 'notDouble'};
  names = {'inverseMassMatrix', 'faceMassMatrix', 'faceToElement', 'faceToNodeLocal', 'faceToNodeAdjacent', ...
           'faceJacobian', 'jacobian', 'fluxLocal', 'fluxAdjacent', 'numericalFlux'};
  for i = 1:rows(cases)
    bad = args;
    bad{cases{i, 1}} = cases{i, 2};
    [id, ~, message] = kernel_call_error('inner_edge_strong_rhs', 1, bad{:});
    assert(strcmp(id, ['inner_edge_strong_rhs:' cases{i, 3}]), '%s', id);
    assert(~isempty(strfind(message, names{cases{i, 1}})), '%s', message);
  end
  [id, printed] = kernel_call_error('inner_edge_strong_rhs', 1, args{1:9});
  assert(strcmp(id, 'inner_edge_strong_rhs:invalidNumberOfInputs'), '%s', id);
  assert(strcmp(printed, sprintf('Matlab:inner_edge_strong_rhs.cpp:InvalidNumberInput,\n10 inputs required.\n')), '%s', printed);
end

function no_blas_in_the_edge_modules()
  % The edge modules multiply by the mass matrix themselves: no BLAS symbol is
  % exported, none is left for Octave's own BLAS to resolve.
  for name = {'inner_edge_strong_rhs', 'bottom_edge_alter_rhs', 'bottom_edge_central_rhs'}
    file = fullfile(kernel_folder(name{1}), [name{1} '.mex']);
    [status, symbols] = system(['nm -D ' file]);
    assert(status == 0, symbols);
    assert(isempty(regexp(symbols, 'gemm', 'once')), ['dynamic dgemm symbol in ' name{1}]);
    assert(isempty(regexp(symbols, 'openblas', 'once')), ['dynamic OpenBLAS symbol in ' name{1}]);
  end
end
