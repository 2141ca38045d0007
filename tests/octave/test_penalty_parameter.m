function tests = test_penalty_parameter()
  tests = {@worked_examples, @matches_the_edge_order, @factors_and_maximum, @rejects_bad_inputs};
end

function p = call(sizes, f2e, innerSize, bf2e, boundarySize, shape, order)
  p = kernel_call('penalty_parameter', sizes, f2e, innerSize, bf2e, boundarySize, int8(shape), order);
end

function p = reference(sizes, f2e, innerSize, bf2e, boundarySize, shape, N)
  acc = zeros(1, numel(sizes));
  for i = 1:numel(innerSize)
    a = fix(f2e(1, i)); b = fix(f2e(2, i));
    h = innerSize(i) * 0.5;
    acc(a) = h / sizes(a) + acc(a);
    acc(b) = h / sizes(b) + acc(b);
  end
  for i = 1:numel(boundarySize)
    a = fix(bf2e(1, i));
    acc(a) = boundarySize(i) / sizes(a) + acc(a);
  end
  switch shape
    case 1
      a = 1.0 + N; acc = acc * (a * a);
    case 2
      acc = acc * (((1.0 + N) * 0.5) * (2.0 + N));
    case 3
      acc = acc * (((1.0 + N) * (3.0 + N)) / 3.0);
  end
  p = 0.0;
  for k = 1:numel(acc)
    if acc(k) > p
      p = acc(k);
    end
  end
end

function worked_examples()
  assert(call(2.0, [1; 1], 4.0, zeros(2, 0), [], 2, 1) == 6);
  assert(call(1.0, zeros(2, 0), [], [1 1 1; 0 0 0], [1 1 1], 1, 2) == 27);
  assert(call([], zeros(2, 0), [], zeros(2, 0), [], 3, 2) == 0);
end

function matches_the_edge_order()
  rand('seed', 17);
  K = 30;
  sizes = 0.1 + 5 * rand(1, K);
  f2e = [ceil(K * rand(1, 80)); ceil(K * rand(1, 80))];
  f2e(:, 1) = [4; 4];                          % both sides one element
  innerSize = 0.1 + 3 * rand(1, 80);
  bf2e = [ceil(K * rand(1, 12)); NaN(1, 12)];  % second row not read
  boundarySize = 0.1 + 3 * rand(12, 1);
  for shape = [0 1 2 3 4]
    N = 0.37 + shape;
    p = call(sizes, f2e, innerSize, bf2e, boundarySize, shape, N);
    assert(p == reference(sizes, f2e, innerSize, bf2e, boundarySize, shape, N), sprintf('shape %d', shape));
  end
end

function factors_and_maximum()
  N = 1.5e154;   % the other grouping of shape 2 overflows
  assert(call(1, zeros(2, 0), [], [1; 0], 1, 2, N) == ((1 + N) * 0.5) * (2 + N));
  assert(call(1, zeros(2, 0), [], [1; 0], 1, 7, NaN) == 1);   % other codes: unscaled
  % NaN sums are ignored, negative sums give +0.
  p = call([0 1 2], zeros(2, 0), [], [1 2 3; 0 0 0], [0 3 2], 0, 1);
  assert(p == 3);
  p = call([1 1], [1; 2], -1, zeros(2, 0), [], 0, 1);
  assert(p == 0 && ~signbit(p));
  p = call([1 1], zeros(2, 0), [], zeros(2, 0), [], 2, -1.5);  % zero sums scaled to -0
  assert(p == 0 && ~signbit(p));
end

function rejects_bad_inputs()
  for bad = [0, -1, 4, NaN, Inf]
    id = kernel_call_error('penalty_parameter', 1, [1 1 1], [1; bad], 1, [1; 1], 1, int8(1), 1);
    assert(strcmp(id, 'penalty_parameter:indexOutOfRange'), id);
    id = kernel_call_error('penalty_parameter', 1, [1 1 1], [1; 2], 1, [bad; 1], 1, int8(1), 1);
    assert(strcmp(id, 'penalty_parameter:indexOutOfRange'), id);
  end
  id = kernel_call_error('penalty_parameter', 1, [1 1 1], [1 2], [1 1], [1; 1], 1, int8(1), 1);
  assert(strcmp(id, 'penalty_parameter:tooFewElements'), id);
  id = kernel_call_error('penalty_parameter', 1, [1 1 1], [1; 2], 1, [1; 1], 1, int8([]), 1);
  assert(strcmp(id, 'penalty_parameter:tooFewBytes'), id);
  id = kernel_call_error('penalty_parameter', 1, single([1 1 1]), [1; 2], 1, [1; 1], 1, int8(1), 1);
  assert(strcmp(id, 'penalty_parameter:notDouble'), id);
  id = kernel_call_error('penalty_parameter', 1, [1 1 1], [1; 2], 1, [1; 1], 1, int8(1), []);
  assert(strcmp(id, 'penalty_parameter:invalidScalar'), id);
end
