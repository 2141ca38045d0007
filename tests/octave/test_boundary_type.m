function tests = test_boundary_type()
  tests = {@realised_faces_masked_others_announced, @notices_without_nodes_or_faces, ...
           @wrong_counts_and_short_codes};
end

function n = notice_count(printed)
  n = numel(strfind(printed, sprintf('Unknown or Unrealized boundary type\n')));
end

function realised_faces_masked_others_announced()
  codes = int8([3 9 3 0 1 2 4 5 6 7 8 12 13 14 -1 127 -128]);
  [printed, mask] = kernel_call_printed('boundary_type', codes, rand(2, numel(codes)));
  realised = codes >= 2 & codes <= 7;
  assert(isequal(mask, repmat(double(realised), 2, 1)));
  assert(strcmp(printed, repmat(sprintf('Unknown or Unrealized boundary type\n'), 1, sum(~realised))), printed);
  [printed, mask] = kernel_call_printed('boundary_type', int8([2 3 4 5 6 7]), zeros(3, 6));
  assert(isequal(mask, ones(3, 6)) && isempty(printed), printed);
end

function notices_without_nodes_or_faces()
  [printed, mask] = kernel_call_printed('boundary_type', int8([0 3 13 -5]), zeros(0, 4));
  assert(isequal(size(mask), [0 4]));
  assert(notice_count(printed) == 3, printed);
  [printed, mask] = kernel_call_printed('boundary_type', int8([]), zeros(5, 0));
  assert(isequal(size(mask), [5 0]) && isempty(printed), printed);
end

function wrong_counts_and_short_codes()
  [id, printed] = kernel_call_error('boundary_type', 1, int8([0 1]), zeros(2, 3));
  assert(strcmp(id, 'boundary_type:tooFewBytes'), id);
  assert(isempty(printed), printed);
  [id, printed] = kernel_call_error('boundary_type', 1, int8(1));
  assert(strcmp(id, 'boundary_type:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:boundary_type.cpp:InvalidNumberInput,\n2 inputs required.\n')), printed);
end
