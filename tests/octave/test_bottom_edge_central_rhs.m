function tests = test_bottom_edge_central_rhs()
  tests = {@random_faces_match_reference, @half_of_alternating, @closed_form_and_swap, ...
           @zero_jacobian_gives_inf_or_nan_there_only, @rejects_bad_inputs_and_wrong_counts};
end

function rhs = call(name, c)
  args = edge_rhs_args(c, false);
  rhs = kernel_call(name, args{:});
end

function random_faces_match_reference()
  c = edge_rhs_random_case(6, 30, 3, 45, 3, 23);
  expected = edge_rhs_reference('central', c.invM, c.M, c.faceToElement, c.nodeL, c.nodeA, c.faceJ, ...
                                c.J, c.fL, c.fA, []);
  assert(isequal(call('bottom_edge_central_rhs', c), expected));
end

function half_of_alternating()
  c = edge_rhs_random_case(10, 25, 4, 40, 3, 31);
  c.invM = c.invM + 0.3 * (2 * rand(10) - 1);
  assert(isequal(call('bottom_edge_central_rhs', c), 0.5 * call('bottom_edge_alter_rhs', c)));
end

function closed_form_and_swap()
  c = edge_rhs_small_mesh();
  v = c.M * (c.faceJ .* (0.5 * (c.fL - c.fA)));
  expected = [c.invM * [v; 0] ./ c.J(:, 1), c.invM * [v(2); 0; v(1)] ./ c.J(:, 2), zeros(3, 1)];
  assert(isequal(call('bottom_edge_central_rhs', c), expected));
  [c.fL, c.fA] = deal(c.fA, c.fL);
  assert(isequal(call('bottom_edge_central_rhs', c), -expected));
end

function zero_jacobian_gives_inf_or_nan_there_only()
  c = edge_rhs_small_mesh();
  finite = call('bottom_edge_central_rhs', c);
  c.J(:, 3) = 0;   % untouched element: 0/0
  rhs = call('bottom_edge_central_rhs', c);
  assert(all(isnan(rhs(:, 3))) && isequal(rhs(:, 1:2), finite(:, 1:2)));
end

function rejects_bad_inputs_and_wrong_counts()
  args = edge_rhs_args(edge_rhs_small_mesh(), false);
  bad = args; bad{1} = eye(2);
  assert(strcmp(kernel_call_error('bottom_edge_central_rhs', 1, bad{:}), 'bottom_edge_central_rhs:tooFewElements'));
  bad = args; bad{4} = [1; -1];
  assert(strcmp(kernel_call_error('bottom_edge_central_rhs', 1, bad{:}), 'bottom_edge_central_rhs:indexOutOfRange'));
  [id, printed] = kernel_call_error('bottom_edge_central_rhs', 2, args{:});
  assert(strcmp(id, 'bottom_edge_central_rhs:invalidNumberOfOutputs'), '%s', id);
  assert(strcmp(printed, sprintf('Matlab:bottom_edge_central_rhs.cpp:InvalidNumberOutput,\n')), '%s', printed);
end
