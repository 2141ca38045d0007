function varargout = octave_bench(varargin)
% OCTAVE_BENCH  Time every module under Octave beside the host's own cost.
%
%   octave_bench              every module
%   octave_bench(name, ...)   the named modules (an edge module by its name
%                             runs at both of its sizes)
%   r = octave_bench(...)     also returns the figures as a struct array
%
% From the repository root:
%   octave-cli --no-gui --no-init-file --quiet --eval "addpath(fullfile(pwd, 'bench')); octave_bench"
%
% Modules whose .mex is missing or older than their source or the frame are
% built first with build_mex; the floor MEX (bench/octave/bench_floor.cpp) is
% built into bench/octave.
%
% For each module, at the sizes of the stand-alone benchmarks (bench/*_bench.cpp;
% sizes of their own for the four modules without one), it prints the time of
% one call, the floor and their ratio. The floor is bench_floor called with the
% same inputs: it takes their data pointers and returns zero-filled outputs of
% the module's output sizes, so it costs what the host costs for such a call
% (passing the inputs, creating the outputs, taking them over) and nothing of
% the module's work. Then, with the smallest valid inputs, the time of a call
% of the module and of the floor: the per-call overhead.
%
% Beside the ratio, "reading" is the ratio of the reading floor (the floor
% that also reads every byte of every input once, the least a module that
% looks at all its inputs does) to the floor: the lowest ratio such a module
% can reach in this host.
%
% Times are the best of several batches of calls, module and floor batches
% taken in turn, so that both see the same load.

  root = fileparts(fileparts(mfilename('fullpath')));
  here = fullfile(root, 'bench', 'octave');
  addpath(fullfile(root, 'bench'));  % this file, also from inside the module folders
  old = cd(root);
  restore = onCleanup(@() cd(old));
  addpath(root);
  cases = bench_cases();
  if nargin > 0
    cases = cases(ismember({cases.module}, varargin));
  end
  build_stale_modules(root, unique({cases.module}));
  build_floor(here);
  addpath(here);

  fprintf('%-30s %-26s %10s %10s %6s %8s %10s %10s\n', 'module', 'size', 'module ms', 'floor ms', 'ratio', ...
          'reading', 'small us', 'floor us');
  results = struct('module', {}, 'size', {}, 'module_ms', {}, 'floor_ms', {}, 'ratio', {}, ...
                   'reading', {}, 'small_us', {}, 'small_floor_us', {});
  for c = cases
    big = time_pair(root, c.module, c.make(false), 1.0);
    small = time_pair(root, c.module, c.make(true), 0.3);
    r = struct('module', c.module, 'size', c.size, 'module_ms', 1e3 * big(1), 'floor_ms', 1e3 * big(2), ...
               'ratio', big(1) / big(2), 'reading', big(3) / big(2), 'small_us', 1e6 * small(1), ...
               'small_floor_us', 1e6 * small(2));
    fprintf('%-30s %-26s %10.3f %10.3f %6.2f %8.2f %10.1f %10.1f\n', r.module, r.size, r.module_ms, ...
            r.floor_ms, r.ratio, r.reading, r.small_us, r.small_floor_us);
    results(end + 1) = r; %#ok<AGROW>
  end
  if nargout > 0
    varargout{1} = results;
  end
end

function t = time_pair(root, name, inputs, budget)
  % Seconds per call of the module, of the floor and of the reading floor with
  % the same inputs: the best of five batches each, batches in turn, about
  % `budget` seconds in all.
  nout = module_output_count(name);
  folder = fullfile(root, module_folder(root, name));
  old = cd(folder);  % a private function is called from its own folder
  restore = onCleanup(@() cd(old));
  module = str2func(name);
  outputs = cell(1, nout);
  [outputs{:}] = module(inputs{:});
  sizes = cellfun(@size, outputs, 'UniformOutput', false);
  floor_inputs = [{sizes}, inputs];
  % Calls per batch: enough for a tenth of the budget.
  tic;
  [outputs{:}] = module(inputs{:});
  once = max(toc, 1e-6);
  calls = max(1, round(budget / 10 / once));
  best = [Inf, Inf, Inf];
  read_inputs = [{'read'}, floor_inputs];
  for batch = 1:5
    tic;
    for i = 1:calls
      [outputs{:}] = module(inputs{:});
    end
    best(1) = min(best(1), toc / calls);
    tic;
    for i = 1:calls
      [outputs{:}] = bench_floor(floor_inputs{:});
    end
    best(2) = min(best(2), toc / calls);
    tic;
    for i = 1:calls
      [outputs{:}] = bench_floor(read_inputs{:});
    end
    best(3) = min(best(3), toc / calls);
  end
  t = best;
end

function n = module_output_count(name)
  counts = struct('prebalance_volume_flux_2d', 2, 'nonhydro_vertical_volume_flux', 2, 'mesh_connection', 3, ...
                  'point_to_cell_info', 2, 'downwind_flux_2d', 2, 'face_normal_vector', 3);
  if isfield(counts, name)
    n = counts.(name);
  else
    n = 1;
  end
end

function folder = module_folder(root, name)
  text = fileread(fullfile(root, 'modules.txt'));
  row = regexp(text, ['(?m)^' name '\s+(\S+)'], 'tokens', 'once');
  folder = row{1};
end

function build_stale_modules(root, names)
  % Builds the modules whose .mex is missing or older than their source or a
  % frame file.
  frame = [dir(fullfile(root, 'frame', '*.hpp')); dir(fullfile(root, 'frame', '*.cpp'))];
  newest_frame = max([frame.datenum]);
  stale = {};
  for i = 1:numel(names)
    folder = fullfile(root, module_folder(root, names{i}));
    mex_file = dir(fullfile(folder, [names{i} '.mex']));
    source = dir(fullfile(folder, [names{i} '.cpp']));
    if isempty(mex_file) || mex_file.datenum < max(source.datenum, newest_frame)
      stale{end + 1} = names{i}; %#ok<AGROW>
    end
  end
  if ~isempty(stale)
    build_mex(stale{:});
  end
end

function build_floor(here)
  source = fullfile(here, 'bench_floor.cpp');
  target = fullfile(here, 'bench_floor.mex');
  built = dir(target);
  if ~isempty(built) && built.datenum >= dir(source).datenum
    return;
  end
  old_flags = getenv('CXXFLAGS');
  setenv('CXXFLAGS', '-O3 -std=c++17 -fPIC');
  cleanup = onCleanup(@() setenv('CXXFLAGS', old_flags));
  [output, status] = mkoctfile('--mex', '-o', target, source);
  if status ~= 0
    error('octave_bench:floorBuild', 'Building the floor MEX failed:\n%s', output);
  end
end

% ---------------------------------------------------------------------------
% The cases: for each, a function of `small` that returns the inputs, at the
% benchmark size or with the smallest valid extents.

function cases = bench_cases()
  c = @(module, size, make) struct('module', module, 'size', size, 'make', make);
  cases = [c('prebalance_volume_flux_2d', 'Np 10, K 200000', @(s) inputs_volume_2d(s)), ...
           c('face_flux_2d', 'Nfp 4, Ne 300000', @(s) inputs_face_flux_2d(s)), ...
           c('wd_volume_flux_1d', 'Np 10, K 200000', @(s) inputs_volume_1d(s)), ...
           c('face_flux_1d', 'Nfp 4, Ne 300000', @(s) inputs_face_flux_1d(s)), ...
           c('time_interval_3d', 'Np 10, K 200000', @(s) inputs_time_interval(s)), ...
           c('upwind_flux_2d', 'Nfp 4, Nface 300000', @(s) inputs_face_kernel(s, 'upwind')), ...
           c('nonhydro_vertical_volume_flux', 'Np 10, K 200000', @(s) inputs_vertical_volume(s)), ...
           c('nonhydro_vertical_face_flux', 'Nfp 4, Nface 300000', @(s) inputs_face_kernel(s, 'vertical')), ...
           c('inner_edge_strong_rhs', 'Np 10, Nfp 4, K 100000', @(s) inputs_edge(s, false, 10)), ...
           c('inner_edge_strong_rhs', 'Np 84, Nfp 28, K 20000', @(s) inputs_edge(s, true, 10)), ...
           c('bottom_edge_alter_rhs', 'Np 10, Nfp 4, K 100000', @(s) inputs_edge(s, false, 9)), ...
           c('bottom_edge_alter_rhs', 'Np 84, Nfp 28, K 20000', @(s) inputs_edge(s, true, 9)), ...
           c('bottom_edge_central_rhs', 'Np 10, Nfp 4, K 100000', @(s) inputs_edge(s, false, 9)), ...
           c('bottom_edge_central_rhs', 'Np 84, Nfp 28, K 20000', @(s) inputs_edge(s, true, 9)), ...
           c('mesh_connection', '2 x 10^6 triangles', @(s) inputs_mesh_pair(s)), ...
           c('downwind_flux_2d', 'Nfp 4, Nface 300000', @(s) inputs_face_kernel(s, 'downwind')), ...
           c('face_normal_vector', 'Nface 300000, last face', @(s) inputs_face_normal(s)), ...
           c('wet_dry_face_1d', 'Nface 300000', @(s) inputs_face_kernel(s, 'marker')), ...
           c('boundary_type', 'Nfp 4, Nbe 300000', @(s) inputs_boundary_type(s)), ...
           c('element_boundary_condition', 'K 200000, Nbe 100000', @(s) inputs_element_boundary(s)), ...
           c('boundary_primitive_flux', 'Nfp 4, Nbe 300000', @(s) inputs_primitive_flux(s)), ...
           c('penalty_parameter', '316 x 316 x 2 triangles', @(s) inputs_penalty(s)), ...
           c('point_to_cell_info', 'P 600000, nnz 1800000', @(s) inputs_point_to_cell(s))];
end

function s = statuses(K)
  % Every fiftieth element Dry and the next PressureFree, the rest wet.
  k = 0:K - 1;
  s = int8(4 * ones(1, K));
  s(mod(k, 50) == 0) = 5;
  s(mod(k, 50) == 1) = 7;
end

function v = uniform(low, high, varargin)
  v = low + (high - low) * rand(varargin{:});
end

function in = inputs_volume_2d(small)
  [Np, K] = pick(small, [1 1], [10 200000]);
  in = {0.1, 9.81, statuses(K), uniform(0, 2, Np, K, 4)};
end

function in = inputs_volume_1d(small)
  [Np, K] = pick(small, [1 1], [10 200000]);
  in = {0.1, 9.81, statuses(K), uniform(0, 2, Np, K, 3)};
end

function in = inputs_face_flux_2d(small)
  [Nfp, Ne] = pick(small, [1 1], [4 300000]);
  faces = cat(3, uniform(0, 2, Nfp, Ne), uniform(-1, 1, Nfp, Ne, 2));
  in = {0.05, 9.81, uniform(-1, 1, Nfp, Ne), uniform(-1, 1, Nfp, Ne), faces};
end

function in = inputs_face_flux_1d(small)
  [Nfp, Ne] = pick(small, [1 1], [4 300000]);
  faces = cat(3, uniform(0, 2, Nfp, Ne), uniform(-1, 1, Nfp, Ne), uniform(0, 2, Nfp, Ne));
  in = {0.05, 9.81, uniform(-1, 1, Nfp, Ne), faces};
end

function in = inputs_time_interval(small)
  [Np, K] = pick(small, [1 1], [10 200000]);
  fields = cat(3, uniform(0.1, 2, Np, K), uniform(-1, 1, Np, K, 2), uniform(0.1, 2, Np, K));
  in = {[], 9.81, 2, uniform(0.5, 1.5, K, 1), statuses(K)', fields};
end

function in = inputs_vertical_volume(small)
  [Np, K] = pick(small, [1 1], [10 200000]);
  in = {int8(4 * ones(1, K)), uniform(-2, 2, Np, K), uniform(-2, 2, Np, K), uniform(-2, 2, Np, K), ...
        uniform(0.1, 3, Np, K)};
end

function in = inputs_face_kernel(small, kind)
  % The face set of bench/face_bench_data.hpp: faces numbered along the
  % elements, face f joining element floor(2f/3) + 1 and the next one.
  [Nfp, Nface, K] = pick(small, [1 1 2], [4 300000 200000]);
  local = floor(2 * (0:Nface - 1) / 3);
  faceToElement = [local + 1; mod(local + 1, K) + 1];
  head = {statuses(K), faceToElement};
  node = @(low, high) uniform(low, high, Nfp, Nface);
  angle = uniform(-pi, pi, Nfp, Nface);
  switch kind
    case 'upwind'
      in = [head, {node(0.1, 3), node(-2, 2), node(-2, 2), node(-1, 1), node(0.1, 3), node(-2, 2), ...
                   node(-2, 2), node(-1, 1), cos(angle), sin(angle)}];
    case 'downwind'
      in = [head, {node(-2, 2), node(-2, 2), node(-2, 2), node(-2, 2), node(-1, 1), node(-1, 1), ...
                   node(-1, 1), node(-1, 1), cos(angle), sin(angle)}];
    case 'vertical'
      in = [head, {9.81, node(0.1, 3), node(-2, 2), node(-2, 2), node(-0.5, 0.5), cos(angle), sin(angle)}];
    case 'marker'
      in = head;
  end
end

function in = inputs_edge(small, prisms, count)
  % The edge cases of bench/edge_rhs_bench.cpp, three fields; inputs 0 to 8,
  % and the numerical flux as input 9 for the inner edge.
  if small
    Np = 1; Nfp = 1; K = 1; Nface = 1; Nfield = 1;
  elseif prisms
    Np = 84; Nfp = 28; K = 20000; Nface = 30000; Nfield = 3;
  else
    Np = 10; Nfp = 4; K = 100000; Nface = 150000; Nfield = 3;
  end
  M = diag(4 * ones(Np, 1)) + 0.5 * uniform(-1, 1, Np, Np);
  Mf = diag(0.5 * ones(Nfp, 1)) + 0.1 * uniform(-1, 1, Nfp, Nfp);
  eL = floor(2 * (0:Nface - 1) / 3);
  m = (0:Nfp - 1)';
  if small
    eA = eL; nodeL = ones(Nfp, Nface); nodeA = nodeL;
  elseif prisms
    eA = mod(eL + 1, K);
    nodeL = repmat(m + 1, 1, Nface);
    nodeA = repmat(Np - Nfp + m + 1, 1, Nface);
  else
    eA = mod(eL + 1 + randi([0 63], 1, Nface), K);
    side = randi([0 2], 1, Nface);
    nodeL = mod(side * 3 + m, Np) + 1;
    nodeA = mod(9 - side * 3 - m + Np, Np) + 1;
  end
  flux = @() uniform(-1, 1, Nfp, Nface, Nfield);
  in = {M, Mf, [eL + 1; eA + 1], nodeL, nodeA, 1 + 0.5 * uniform(-1, 1, Nfp, Nface), ...
        1 + 0.5 * uniform(-1, 1, Np, K), flux(), flux(), flux()};
  in = in(1:count);
end

function in = inputs_mesh_pair(small)
  % bench/mesh_connection_bench.cpp at 10^6 triangles a half: a rectangle of
  % 2 ncol x ny cells, two triangles a cell; the left half connects to the right.
  if small
    ny = 1; ncol = 1;
  else
    ny = round(sqrt(500000 / 2)); ncol = floor(500000 / ny);
  end
  nx = 2 * ncol;
  [left, toElement, toFace] = half_of_grid(nx, ny, 0, ncol);
  right = half_of_grid(nx, ny, ncol, nx);
  faces = [1 2 3; 2 3 1];
  in = {1, 2, size(left, 2), size(right, 2), 3, 3, faces, faces, left, right, [], toElement, toFace};
end

function [EToV, EToE, EToF] = half_of_grid(nx, ny, c0, c1)
  [c, r] = ndgrid(c0:c1 - 1, 0:ny - 1);
  id = @(c, r) r * (nx + 1) + c + 1;
  v00 = id(c(:)', r(:)'); v10 = id(c(:)' + 1, r(:)'); v11 = id(c(:)' + 1, r(:)' + 1); v01 = id(c(:)', r(:)' + 1);
  EToV = reshape([v00; v10; v11; v00; v11; v01], 3, []);
  K = size(EToV, 2);
  % Neighbours: faces with the same vertex pair, found by sorting the keys.
  a = EToV([1 2 3], :); b = EToV([2 3 1], :);
  key = max(a, b) * 2^26 + min(a, b);
  [sorted, order] = sort(key(:));
  other = (1:3 * K)';
  same = find(sorted(1:end - 1) == sorted(2:end));
  other(order(same)) = order(same + 1);
  other(order(same + 1)) = order(same);
  EToE = reshape(floor((other - 1) / 3) + 1, 3, K);
  EToF = reshape(mod(other - 1, 3) + 1, 3, K);
end

function in = inputs_face_normal(small)
  % The face set of the face kernels; the element pair of the last inner face,
  % so that the search runs through every face.
  in = inputs_face_kernel(small, 'marker');
  faceToElement = in{2};
  [Nfp, Nface] = pick(small, [1 1], [4 300000]);
  Nbe = pick(small, 1, 1264);
  angle = uniform(-pi, pi, Nfp, Nface);
  in = {faceToElement(1, end), faceToElement(2, end), 1, [ones(1, Nbe); ones(1, Nbe)], ...
        uniform(-1, 1, 2, Nbe), uniform(-1, 1, 2, Nbe), [1:Nbe; 1:Nbe], cos(angle), sin(angle), ...
        faceToElement, uniform(-1, 1, 2, Nbe), uniform(-1, 1, Nfp, Nface)};
end

function in = inputs_boundary_type(small)
  % Realised codes only (2 to 7), so that nothing is printed.
  [Nfp, Nbe] = pick(small, [1 1], [4 300000]);
  in = {int8(randi([2 7], 1, Nbe)), zeros(Nfp, Nbe)};
end

function in = inputs_element_boundary(small)
  [K, Nbe] = pick(small, [1 1], [200000 100000]);
  i = 0:Nbe - 1;
  in = {zeros(3, K), [mod(i, 3) + 1; zeros(1, Nbe)], [mod(2 * i, K) + 1; zeros(1, Nbe)], int8(mod(i, 14))};
end

function in = inputs_primitive_flux(small)
  [Nfp, Nbe] = pick(small, [1 1], [4 300000]);
  indicator = ones(Nfp, Nbe);
  indicator(:, mod(0:Nbe - 1, 10) == 0) = -1;  % every tenth edge switched off
  in = {indicator, uniform(-2, 2, Nfp, Nbe), uniform(-2, 2, Nfp, Nbe)};
end

function in = inputs_penalty(small)
  % bench/penalty_parameter_bench.cpp: n x n squares split in two, numbered
  % square by square; the diagonal, right and upper neighbours inner edges.
  n = pick(small, 1, 316);
  [i, j] = ndgrid(0:n - 1, 0:n - 1);
  L = 2 * (j(:)' * n + i(:)') + 1;
  U = L + 1;
  right = i(:)' + 1 < n;
  up = j(:)' + 1 < n;
  inner = [[L; U], [U(right); L(right) + 2], [U(up); L(up) + 2 * n]];
  boundary = [L(j(:)' == 0), L(i(:)' == 0), U(j(:)' + 1 == n), U(i(:)' + 1 == n)];
  K = 2 * n * n;
  in = {uniform(0.5, 1.5, K, 1), inner, uniform(0.5, 1.5, 1, size(inner, 2)), ...
        [boundary; zeros(1, numel(boundary))], uniform(0.5, 1.5, 1, numel(boundary)), int8(2), 2};
end

function in = inputs_point_to_cell(small)
  % Each point in three cells.
  [P, cells] = pick(small, [1 1], [600000 200000]);
  rows = mod((0:3 * P - 1)' + floor((0:3 * P - 1)' / 3) * 7, cells) + 1;
  columns = floor((0:3 * P - 1)' / 3) + 1;
  in = {P, sparse(rows, columns, 1, cells, P)};
end

function varargout = pick(small, smallest, benchmark)
  values = benchmark;
  if small
    values = smallest;
  end
  varargout = num2cell(values);
end
