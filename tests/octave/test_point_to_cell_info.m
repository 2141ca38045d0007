function tests = test_point_to_cell_info()
  tests = {@zero_based_structure, @empty_and_random_matrices, @rejects_bad_counts};
end

function zero_based_structure()
  S = sparse([1 3 2], [1 1 2], [1 1 1], 3, 2);
  [starts, rows] = kernel_call('point_to_cell_info', 2, S);
  assert(isequal(starts, [0; 2; 3]) && isequal(rows, [0; 2; 1]));
  [starts, rows] = kernel_call('point_to_cell_info', 2.9, S);
  assert(isequal(starts, [0; 2; 3]) && isequal(rows, [0; 2; 1]));
  [starts, rows] = kernel_call('point_to_cell_info', 1, S);
  assert(isequal(starts, [0; 2]) && isequal(rows, [0; 2]));
  [starts, rows] = kernel_call('point_to_cell_info', 0, S);
  assert(isequal(starts, 0) && isequal(size(rows), [0 1]));
end

function empty_and_random_matrices()
  [starts, rows] = kernel_call('point_to_cell_info', 3, sparse(4, 3));
  assert(isequal(starts, zeros(4, 1)) && isequal(size(rows), [0 1]));
  rand('seed', 9);
  S = sprand(50, 40, 0.1) > 0;   % logical sparse: values are not read
  [starts, rows] = kernel_call('point_to_cell_info', 40, S);
  [i, j] = find(S);
  assert(isequal(rows, i - 1));
  assert(isequal(starts, [0; cumsum(full(sum(S, 1)))']));
  assert(isequal(diff(starts), accumarray(j, 1, [40 1])));
end

function rejects_bad_counts()
  S = sparse([1 3 2], [1 1 2], [1 1 1], 3, 2);
  for bad = [-1, 3, NaN, Inf, -Inf, 1e12]
    id = kernel_call_error('point_to_cell_info', 2, bad, S);
    assert(strcmp(id, 'point_to_cell_info:columnCountOutOfRange'), id);
  end
  id = kernel_call_error('point_to_cell_info', 2, 2, full(S));
  assert(strcmp(id, 'point_to_cell_info:notSparse'), id);
end
