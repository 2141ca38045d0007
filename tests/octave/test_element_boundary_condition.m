function tests = test_element_boundary_condition()
  tests = {@known_codes_mark_their_position, @later_face_wins, @rejects_indices_outside_the_table};
end

function marker = reference(Nface, K, faces, elements, codes)
  marker = zeros(Nface, K);
  for i = 1:numel(codes)
    if codes(i) >= 0 && codes(i) <= 12
      marker(fix(faces(i)), fix(elements(i))) = 1;
    elseif codes(i) == 13
      marker(fix(faces(i)), fix(elements(i))) = 2;
    end
  end
end

function known_codes_mark_their_position()
  codes = int8(-2:15);
  faces = mod(0:17, 3) + 1.5;
  elements = floor((0:17) / 3) + 1;
  % The second rows are never read: NaN there changes nothing.
  out = kernel_call('element_boundary_condition', zeros(3, 6), [faces; NaN(1, 18)], ...
                    [elements; NaN(1, 18)], codes);
  assert(isequal(out, reference(3, 6, faces, elements, codes)));
  assert(out(1, 6) == 2 && out(1, 1) == 0 && out(3, 1) == 1);
  out = kernel_call('element_boundary_condition', zeros(4, 2), zeros(2, 0), zeros(2, 0), int8([]));
  assert(isequal(out, zeros(4, 2)));
end

function later_face_wins()
  out = kernel_call('element_boundary_condition', zeros(3, 5), [2 2 1 1; 0 0 0 0], [5 5 4 4; 0 0 0 0], ...
                    int8([3 13 13 3]));
  assert(out(2, 5) == 2 && out(1, 4) == 1 && nnz(out) == 2);
end

function rejects_indices_outside_the_table()
  for bad = [0, 0.5, -1, NaN, 4, Inf]
    id = kernel_call_error('element_boundary_condition', 1, zeros(3, 2), [1 bad; 1 1], [1 2; 1 1], int8([0 1]));
    assert(strcmp(id, 'element_boundary_condition:indexOutOfRange'), id);
  end
  id = kernel_call_error('element_boundary_condition', 1, zeros(3, 2), [1 1; 1 1], [1 3; 1 1], int8([0 1]));
  assert(strcmp(id, 'element_boundary_condition:indexOutOfRange'), id);
  id = kernel_call_error('element_boundary_condition', 1, zeros(3, 2), [1 1 1], [1 1; 1 1], int8([0 1]));
  assert(strcmp(id, 'element_boundary_condition:tooFewElements'), id);
  id = kernel_call_error('element_boundary_condition', 1, zeros(3, 2), int8([1 1; 1 1]), [1 1; 1 1], int8([0 1]));
  assert(strcmp(id, 'element_boundary_condition:notDouble'), id);
end
