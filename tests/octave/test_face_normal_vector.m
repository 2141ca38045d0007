function tests = test_face_normal_vector()
  tests = {@boundary_face_first_node_first_match, @inner_face_local_and_adjacent_sides, ...
           @inner_entries_truncated_scalars_as_given, @no_match_is_an_error_in_octave, ...
           @matched_face_without_nodes_fails, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function t = tables()
  % Boundary faces (Nfpb = 2, Nbe = 4): element 3 face 1, element 5 faces 2, 3
  % and 2 again. Row 2 of the boundary tables is never read. Inner faces
  % (Nfp = 3, Nface = 4): (2, 3), (3, 2), (7.9, -0.5), (3, 3).
  t.boundaryFaceToFace = [1 2 3 2; 2 2 2 2];
  t.boundaryNormalX = [0.6 0 1 -0.8; -1 -2 -3 -4];
  t.boundaryNormalY = [0.8 -1 0 0.6; -5 -6 -7 -8];
  t.boundaryFaceToElement = [3 5 5 5; 5 5 5 5];
  t.normalX = [0 0.28 -0.96 0.5; 91 93 95 97; 92 94 96 98];
  t.normalY = [1 -0.96 0.28 0.5; 81 83 85 87; 82 84 86 88];
  t.faceToElement = [2 3 7.9 3; 3 2 -0.5 3];
  t.boundaryFaceScalar = [11 12 13 14; -9 -10 -11 -12];
  t.faceScalar = [-21 22 -23 24; 71 73 75 77; 72 74 76 78];
end

function args = inputs(t, e, a, l)
  args = {e, a, l, t.boundaryFaceToFace, t.boundaryNormalX, t.boundaryNormalY, t.boundaryFaceToElement, ...
          t.normalX, t.normalY, t.faceToElement, t.boundaryFaceScalar, t.faceScalar};
end

function v = lookup(t, e, a, l)
  args = inputs(t, e, a, l);
  [nx, ny, s] = kernel_call('face_normal_vector', args{:});
  v = [nx, ny, s];
end

function message = unassigned_error(t, e, a, l)
  % Calls with three outputs and expects Octave's own error about outputs the
  % module left unset (not an error raised by the module).
  args = inputs(t, e, a, l);
  message = '';
  try
    [nx, ny, s] = kernel_call('face_normal_vector', args{:});
  catch err
    message = err.message;
    assert(isempty(strfind(err.identifier, 'face_normal_vector:')), err.identifier);
  end
  assert(~isempty(message), 'a call without a matching face must end in an error');
end

function boundary_face_first_node_first_match()
  t = tables();
  assert(isequal(lookup(t, 3, 3, 1), [0.6 0.8 11]));
  assert(isequal(lookup(t, 5, 5, 2), [0 -1 12]), 'the first matching boundary face must win');
  assert(isequal(lookup(t, 5, 5, 3), [1 0 13]));
  unassigned_error(t, 3, 3, 4);   % (3, 3) is an inner face, but a boundary query never looks there
end

function inner_face_local_and_adjacent_sides()
  t = tables();
  assert(isequal(lookup(t, 2, 3, 1), [0 1 -21]));
  % Face 1 from its adjacent side wins over face 2, which stores (3, 2) as local.
  v = lookup(t, 3, 2, 1);
  assert(isequal(v, [0 -1 -21]), 'both components negated, the third value kept');
  assert(1 / v(1) == -Inf, 'a zero component negates to -0');
  assert(isequal(lookup(t, 3, 2, 99), v), 'localFaceIndex plays no part in the inner search');
end

function inner_entries_truncated_scalars_as_given()
  t = tables();
  assert(isequal(lookup(t, 7, 0, 1), [-0.96 0.28 -23]));
  assert(isequal(lookup(t, 0, 7, 1), [0.96 -0.28 -23]));
  unassigned_error(t, 7.9, 0, 1);
  unassigned_error(t, NaN, NaN, 1);
  t.boundaryFaceToElement(1, 1) = 3.5;
  unassigned_error(t, 3, 3, 1);
end

function no_match_is_an_error_in_octave()
  t = tables();
  message = unassigned_error(t, 2, 7, 1);
  assert(~isempty(strfind(message, 'undefined')), message);
  e = zeros(2, 0);
  t = struct('boundaryFaceToFace', e, 'boundaryNormalX', zeros(2, 0), 'boundaryNormalY', zeros(2, 0), ...
             'boundaryFaceToElement', e, 'normalX', zeros(3, 0), 'normalY', zeros(3, 0), ...
             'faceToElement', e, 'boundaryFaceScalar', zeros(2, 0), 'faceScalar', zeros(3, 0));
  unassigned_error(t, 2, 3, 1);
  unassigned_error(t, 3, 3, 1);
end

function matched_face_without_nodes_fails()
  t = tables();
  t.boundaryNormalX = zeros(0, 4); t.boundaryNormalY = zeros(0, 4); t.boundaryFaceScalar = zeros(0, 4);
  args = inputs(t, 5, 5, 2);
  [id, ~, msg] = kernel_call_error('face_normal_vector', 3, args{:});
  assert(strcmp(id, 'face_normal_vector:noFaceNode'), id);
  assert(~isempty(strfind(msg, 'boundaryNormalX')), msg);
  assert(isequal(lookup(t, 2, 3, 1), [0 1 -21]), 'the inner search needs no boundary nodes');
end

function wrong_counts_print_then_fail()
  args = inputs(tables(), 2, 3, 1);
  [id, printed] = kernel_call_error('face_normal_vector', 3, args{1:11});
  assert(strcmp(id, 'face_normal_vector:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:face_normal_vector.cpp:InvalidNumberInput,\n12 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('face_normal_vector', 1, args{:});
  assert(strcmp(id, 'face_normal_vector:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:face_normal_vector.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  t = tables();
  t.faceToElement = t.faceToElement(1:7);
  args = inputs(t, 2, 3, 1);
  [id, ~, msg] = kernel_call_error('face_normal_vector', 3, args{:});
  assert(strcmp(id, 'face_normal_vector:tooFewElements'), id);
  assert(~isempty(strfind(msg, 'faceToElement')), msg);
  t = tables();
  t.boundaryFaceScalar = single(t.boundaryFaceScalar);
  args = inputs(t, 2, 3, 1);
  id = kernel_call_error('face_normal_vector', 3, args{:});
  assert(strcmp(id, 'face_normal_vector:notDouble'), id);
  args = inputs(tables(), [], 3, 1);
  id = kernel_call_error('face_normal_vector', 3, args{:});
  assert(strcmp(id, 'face_normal_vector:invalidScalar'), id);
end
