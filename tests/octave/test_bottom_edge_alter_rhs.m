function tests = test_bottom_edge_alter_rhs()
  tests = {@random_faces_match_reference, @closed_form_on_small_meshes, @swap_flips_the_sign, ...
           @zero_jacobian_gives_inf_or_nan_there_only, @rejects_bad_inputs_and_wrong_counts};
end

function rhs = call(c)
  args = edge_rhs_args(c, false);
  rhs = kernel_call('bottom_edge_alter_rhs', args{:});
end

function random_faces_match_reference()
  for sizes = [3 6; 4 10; 28 84; 33 40]'   % the general loops and the two fixed sizes
    c = edge_rhs_random_case(sizes(2), 30, sizes(1), 45, 3, 17 + sizes(1));
    expected = edge_rhs_reference('alternating', c.invM, c.M, c.faceToElement, c.nodeL, c.nodeA, c.faceJ, ...
                                  c.J, c.fL, c.fA, []);
    assert(isequal(call(c), expected), sprintf('differs from the reference at Nfp = %d', sizes(1)));
  end
end

function closed_form_on_small_meshes()
  c = edge_rhs_small_mesh();
  c.nodeA = c.nodeL;           % same node numbers, equal Jacobian columns: equal element columns
  c.J(:, 2) = c.J(:, 1);
  v = c.M * (c.faceJ .* (c.fL - c.fA));
  column = c.invM * [v; 0] ./ c.J(:, 1);
  assert(isequal(call(c), [column, column, zeros(3, 1)]), 'one face');

  c = edge_rhs_small_mesh();   % face 1 within element 2; face 2 into node 3 of element 3 twice
  c.faceToElement = [2.5 3.9; 2.0 1.2];
  c.nodeL = [1 3; 2.7 3.01];
  c.nodeA = [2.2 1; 1 1.99];
  c.faceJ = [2 0.5; 4 1];
  c.fL = [3 2; 1 -2];
  c.fA = [-1 4; 5 6];
  a = c.M * (c.faceJ(:, 1) .* [4; -4]);
  b = c.M * (c.faceJ(:, 2) .* [-2; -8]);
  expected = [c.invM * [b(1) + b(2); 0; 0] ./ c.J(:, 1), c.invM * [a(1) + a(2); a(1) + a(2); 0] ./ c.J(:, 2), ...
              c.invM * [0; 0; b(1) + b(2)] ./ c.J(:, 3)];
  assert(isequal(call(c), expected), 'face within one element, two contributions into one node');
end

function swap_flips_the_sign()
  c = edge_rhs_random_case(10, 20, 4, 30, 2, 8);
  c.invM = c.invM + 0.3 * (2 * rand(10) - 1);
  rhs = call(c);
  [c.fL, c.fA] = deal(c.fA, c.fL);
  assert(isequal(call(c), -rhs));
  c.fA = c.fL;
  assert(~any(reshape(call(c), [], 1)), 'equal fluxes give zero');
end

function zero_jacobian_gives_inf_or_nan_there_only()
  c = edge_rhs_small_mesh();
  finite = call(c);
  c.J(2, 1) = 0;
  rhs = call(c);
  assert(~isfinite(rhs(2, 1)));
  rhs(2, 1) = finite(2, 1);
  assert(isequal(rhs, finite));
end

function rejects_bad_inputs_and_wrong_counts()
  args = edge_rhs_args(edge_rhs_small_mesh(), false);
  bad = args; bad{9} = 1;
  assert(strcmp(kernel_call_error('bottom_edge_alter_rhs', 1, bad{:}), 'bottom_edge_alter_rhs:tooFewElements'));
  bad = args; bad{3} = [1; 4];
  assert(strcmp(kernel_call_error('bottom_edge_alter_rhs', 1, bad{:}), 'bottom_edge_alter_rhs:indexOutOfRange'));
  bad = args; bad{5} = [1; Inf];
  assert(strcmp(kernel_call_error('bottom_edge_alter_rhs', 1, bad{:}), 'bottom_edge_alter_rhs:indexOutOfRange'));
  [id, printed] = kernel_call_error('bottom_edge_alter_rhs', 1, args{:}, args{9});
  assert(strcmp(id, 'bottom_edge_alter_rhs:invalidNumberOfInputs'), '%s', id);
  assert(strcmp(printed, sprintf('Matlab:bottom_edge_alter_rhs.cpp:InvalidNumberInput,\n9 inputs required.\n')), '%s', printed);
end
