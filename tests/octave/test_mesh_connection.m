function tests = test_mesh_connection()
  tests = {@rectangle_cut_matches_scan, @quadrilaterals_and_mixed_shapes, ...
           @random_repeated_pairs_keep_last_match, @reversed_and_truncated_ids, ...
           @self_adjacency_and_empty_adjacent_mesh, @interior_faces_are_copied, ...
           @wrong_counts_print_then_fail, @rejects_bad_inputs};
end

function m = grid_mesh(nx, ny, quads, keep)
  % Cells (c, r) of an nx x ny grid for which keep(c, r) holds (0-based), two
  % triangles or one quadrilateral each, with global vertex ids.
  id = @(c, r) r * (nx + 1) + c + 1;
  EToV = zeros(3 + quads, 0);
  for r = 0:ny - 1
    for c = 0:nx - 1
      if ~keep(c, r)
        continue;
      end
      v = [id(c, r), id(c + 1, r), id(c + 1, r + 1), id(c, r + 1)];
      if quads
        EToV(:, end + 1) = v';
      else
        EToV(:, end + 1 : end + 2) = [v([1 2 3])', v([1 3 4])'];
      end
    end
  end
  if quads
    m.FVI = [1 2 3 4; 2 3 4 1];
  else
    m.FVI = [1 2 3; 2 3 1];
  end
  m.EToV = EToV;
  [m.EToE, m.EToF] = connect_within(m.EToV, m.FVI);
end

function [EToE, EToF] = connect_within(EToV, FVI)
  % Neighbours by matching vertex pairs; a face whose pair occurs once is a
  % boundary face, connected to itself.
  [Nf, K] = deal(size(FVI, 2), size(EToV, 2));
  a = EToV(FVI(1, :), :);
  b = EToV(FVI(2, :), :);
  [~, ~, g] = unique([max(a(:), b(:)), min(a(:), b(:))], 'rows');
  EToE = repmat(1:K, Nf, 1);
  EToF = repmat((1:Nf)', 1, K);
  first = zeros(max([g; 0]), 1);
  for f = 1:numel(g)
    p = first(g(f));
    if p == 0
      first(g(f)) = f;
    else
      EToE(f) = ceil(p / Nf); EToF(f) = p - (ceil(p / Nf) - 1) * Nf;
      EToE(p) = ceil(f / Nf); EToF(p) = f - (ceil(f / Nf) - 1) * Nf;
    end
  end
end

function [fm, e2e, e2f] = scan(ids, K2, Nf2, L, A)
  % Every boundary face against every adjacent face; the last match is kept.
  [Nf, K] = size(L.EToE);
  fm = repmat(ids(1), Nf, K);
  e2e = L.EToE;
  e2f = L.EToF;
  for k = 1:K
    for j = 1:Nf
      if fix(L.EToE(j, k)) ~= k
        continue;
      end
      ab = fix(L.EToV(fix(L.FVI(:, j)), k));
      for k2 = 1:K2
        for j2 = 1:Nf2
          ab2 = fix(A.EToV(fix(A.FVI(:, j2)), k2));
          if max(ab) == max(ab2) && min(ab) == min(ab2)
            fm(j, k) = ids(2); e2e(j, k) = k2; e2f(j, k) = j2;
          end
        end
      end
    end
  end
end

function varargout = call(ids, L, A, K2, Nf2)
  if nargin < 4
    K2 = size(A.EToV, 2);
    Nf2 = size(A.FVI, 2);
  end
  [varargout{1:3}] = kernel_call('mesh_connection', ids(1), ids(2), size(L.EToV, 2), K2, size(L.FVI, 2), Nf2, ...
                                 L.FVI, A.FVI, L.EToV, A.EToV, [], L.EToE, L.EToF);
end

function connected = expect_scan(L, A, ids)
  % All three outputs equal to the scan, bit for bit; returns how many faces
  % were connected.
  if nargin < 3
    ids = [1 2];
  end
  [fm, e2e, e2f] = call(ids, L, A);
  [rm, re2e, re2f] = scan(ids, size(A.EToV, 2), size(A.FVI, 2), L, A);
  assert(isequaln(fm, rm), 'faceMeshId differs from the scan');
  assert(isequaln(e2e, re2e), 'elementToElement differs from the scan');
  assert(isequaln(e2f, re2f), 'elementToFace differs from the scan');
  assert(isequal(size(fm), size(L.EToE)) && isequal(size(e2e), size(L.EToE)) && isequal(size(e2f), size(L.EToE)));
  connected = nnz(fm == ids(2));
end

function rectangle_cut_matches_scan()
  left = @(c, r) c < 5;
  right = @(c, r) c >= 5;
  assert(expect_scan(grid_mesh(12, 7, false, left), grid_mesh(12, 7, false, right)) == 7);
  assert(expect_scan(grid_mesh(12, 7, false, right), grid_mesh(12, 7, false, left), [-3.5 0.25]) == 7);
  assert(expect_scan(grid_mesh(12, 7, false, @(c, r) c + r < 9), grid_mesh(12, 7, false, @(c, r) c + r >= 9)) > 7);
end

function quadrilaterals_and_mixed_shapes()
  left = @(c, r) c < 4;
  right = @(c, r) c >= 4;
  assert(expect_scan(grid_mesh(9, 6, true, left), grid_mesh(9, 6, true, right)) == 6);
  assert(expect_scan(grid_mesh(9, 6, false, left), grid_mesh(9, 6, true, right)) == 6);
  assert(expect_scan(grid_mesh(9, 6, true, right), grid_mesh(9, 6, false, left)) == 6);
end

function random_repeated_pairs_keep_last_match()
  rand('seed', 5);
  for trial = 1:15
    L = random_mesh(3, 3, 6);
    A = random_mesh(3, 2 + mod(trial, 3), mod(trial, 8));
    expect_scan(L, A, [1 7]);
  end
end

function m = random_mesh(Nv, Nf, K)
  % Few distinct ids, so that vertex pairs repeat; fractional entries truncate.
  m.FVI = floor(rand(2, Nf) * Nv) + 1 + [0; 0.5] * ones(1, Nf);
  m.EToV = floor(rand(Nv, K) * 8) - 2 + 0.75 * (rand(Nv, K) < 0.3);
  self = repmat(1:K, Nf, 1);
  choice = floor(rand(Nf, K) * 4);
  m.EToE = self + 0.5 * (choice == 1) + (choice == 2) - 2 * self .* (choice == 3);
  m.EToF = repmat((1:Nf)', 1, K) + 0.25;
end

function reversed_and_truncated_ids()
  % Local triangle (7, 3, 5); the adjacent mesh has (7, 3) as (3.9, 7.6) and
  % as (3, 7), (3, 5) twice in one element, and (5, 7) nowhere.
  L.FVI = [1 2 3; 2 3 1]; L.EToV = [7; 3; 5]; L.EToE = [1; 1; 1.999]; L.EToF = [1; 2; 3];
  A.FVI = L.FVI; A.EToV = [3.9 8 3; 7.6 3 5; 1 7 3.2];
  [fm, e2e, e2f] = call([1 2], L, A);
  assert(isequal(fm, [2; 2; 1]) && isequal(e2e, [2; 3; 1.999]) && isequal(e2f, [2; 2; 3]));
  expect_scan(L, A);
end

function self_adjacency_and_empty_adjacent_mesh()
  m = grid_mesh(5, 4, false, @(c, r) c ~= 2 || r ~= 1);
  [fm, e2e] = call([1 2], m, m);
  boundary = m.EToE == repmat(1:size(m.EToE, 2), 3, 1);
  assert(isequal(fm == 2, boundary) && isequal(e2e, m.EToE));
  L = grid_mesh(4, 3, false, @(c, r) c < 2);
  A = grid_mesh(4, 3, false, @(c, r) c >= 2);
  for K2Nf2 = [0 3; size(A.EToV, 2) 0]'
    [fm, e2e, e2f] = call([1 2], L, A, K2Nf2(1), K2Nf2(2));
    assert(all(fm(:) == 1) && isequal(e2e, L.EToE) && isequal(e2f, L.EToF));
  end
  A.EToV = zeros(0, 0);
  [fm, e2e] = call([1 2], L, A, 0, 3);
  assert(all(fm(:) == 1) && isequal(e2e, L.EToE));
end

function interior_faces_are_copied()
  % One face per element, pair (10, 20) everywhere; only neighbours that
  % truncate to the element itself make a boundary face.
  K = 8;
  L.FVI = [1; 2]; L.EToV = repmat([10; 20], 1, K);
  L.EToE = (1:K) + [0, 0.999, 1, -eps(1) * 4, NaN, Inf, -0.5, 1e300];
  L.EToF = [NaN, 5, -0, NaN, 1:4];
  A.FVI = [1; 2]; A.EToV = [20.4; 10.9];
  [fm, e2e, e2f] = call([1 2], L, A);
  assert(isequal(fm, [2 2 1 1 1 1 1 1]));
  assert(isequaln(e2e, [1 1 L.EToE(3:end)]) && isequaln(e2f, [1 1 L.EToF(3:end)]));
  assert(1 / e2f(3) < 0 && isnan(e2f(4)), 'interior entries must be copied as they are');
  expect_scan(L, A);
end

function wrong_counts_print_then_fail()
  args = num2cell(ones(1, 13));
  [id, printed] = kernel_call_error('mesh_connection', 3, args{1:12});
  assert(strcmp(id, 'mesh_connection:invalidNumberOfInputs'), id);
  assert(strcmp(printed, sprintf('Matlab:mesh_connection.cpp:InvalidNumberInput,\n13 inputs required.\n')), printed);
  [id, printed] = kernel_call_error('mesh_connection', 2, args{:});
  assert(strcmp(id, 'mesh_connection:invalidNumberOfOutputs'), id);
  assert(strcmp(printed, sprintf('Matlab:mesh_connection.cpp:InvalidNumberOutput,\n')), printed);
end

function rejects_bad_inputs()
  L = grid_mesh(3, 2, false, @(c, r) c < 2);
  A = grid_mesh(3, 2, false, @(c, r) c >= 2);
  good = {1, 2, size(L.EToV, 2), size(A.EToV, 2), 3, 3, L.FVI, A.FVI, L.EToV, A.EToV, [], L.EToE, L.EToF};
  cases = {3, -1, 'invalidExtent', 'elementCount'; ...
           4, NaN, 'invalidExtent', 'adjacentElementCount'; ...
           5, Inf, 'invalidExtent', 'facesPerElement'; ...
           5, 4, 'tooFewElements', 'faceVertexIndex'; ...
           3, good{3} + 1, 'tooFewElements', 'elementToVertex'; ...
           13, L.EToF(:, 2:end), 'tooFewElements', 'elementToFace'; ...
           9, single(L.EToV), 'notDouble', 'elementToVertex'; ...
           12, int32(L.EToE), 'notDouble', 'elementToElement'; ...
           8, [0.5 2 3; 2 3 1], 'indexOutOfRange', 'adjacentFaceVertexIndex'; ...
           9, [NaN, L.EToV(2:end)], 'invalidVertexId', 'elementToVertex'; ...
           10, [2^31, A.EToV(2:end)], 'invalidVertexId', 'adjacentElementToVertex'};
  for c = 1:size(cases, 1)
    args = good;
    args{cases{c, 1}} = cases{c, 2};
    if cases{c, 1} == 9 || cases{c, 1} == 10
      args{cases{c, 1}} = reshape(cases{c, 2}, size(good{cases{c, 1}}));
    end
    [id, ~, message] = kernel_call_error('mesh_connection', 3, args{:});
    assert(strcmp(id, ['mesh_connection:' cases{c, 3}]), sprintf('case %d: %s', c, id));
    assert(~isempty(strfind(message, cases{c, 4})), sprintf('case %d: %s', c, message));
  end
end
