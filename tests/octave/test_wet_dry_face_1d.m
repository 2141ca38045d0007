function tests = test_wet_dry_face_1d()
  tests = {@marks_faces_with_a_non_wet_element, @no_faces, @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function marks_faces_with_a_non_wet_element()
  status = int8([4 5 7 4 0 -4 6]);
  f2e = [1 1 3 4 6 4 2 4.9; 4 2 1 5 1 7 3 1.2];
  marker = kernel_call('wet_dry_face_1d', status, f2e);
  assert(isequal(marker, [0 1 1 1 1 1 1 0]), mat2str(marker));
  assert(isa(marker, 'double'));
  rand('seed', 2);
  status = int8(3 + randi(2, 1, 50));   % codes 4 and 5
  f2e = randi(50, 2, 400);
  marker = kernel_call('wet_dry_face_1d', status, f2e);
  assert(isequal(marker, double(status(f2e(1, :)) ~= 4 | status(f2e(2, :)) ~= 4)));
end

function no_faces()
  assert(isequal(size(kernel_call('wet_dry_face_1d', int8(4), zeros(2, 0))), [1 0]));
  assert(isequal(size(kernel_call('wet_dry_face_1d', int8([]), [])), [1 0]));
end

function wrong_counts_print_then_fail()
  [id, printed] = kernel_call_error('wet_dry_face_1d', 1, int8([4 4]));
  assert(strcmp(id, 'wet_dry_face_1d:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:wet_dry_face_1d.cpp:InvalidNumberInput,\n2 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('wet_dry_face_1d', 2, int8([4 4]), [1; 2]);
  assert(strcmp(id, 'wet_dry_face_1d:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:wet_dry_face_1d.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  for bad = [0 4 NaN Inf -1]
    f2e = [1 2; 3 1];
    f2e(end) = bad;
    [id, ~, message] = kernel_call_error('wet_dry_face_1d', 1, int8([4 4 4]), f2e);
    assert(strcmp(id, 'wet_dry_face_1d:indexOutOfRange'), id);
    assert(~isempty(strfind(message, 'faceToElement')), message);
  end
  assert(strcmp(kernel_call_error('wet_dry_face_1d', 1, int8([4 4]), [1 2; 3 1]), 'wet_dry_face_1d:indexOutOfRange'));
  assert(strcmp(kernel_call_error('wet_dry_face_1d', 1, int8([4 4]), [1 2 1]), 'wet_dry_face_1d:tooFewElements'));
  assert(strcmp(kernel_call_error('wet_dry_face_1d', 1, int8([4 4]), int8([1; 2])), 'wet_dry_face_1d:notDouble'));
end
