% RHS_SPEED_2D  Cost of one right-hand-side evaluation of the 2d wet/dry
% solver (examples/dg2d) at over 10^5 nodes: with the compiled modules and
% with their plain Octave forms (dg2d_kernels('plain')), side by side in one
% run, as seconds per node per evaluation and their ratio. Then where the
% time of the module variant goes: each module call timed inside the
% right-hand side, the rest being Octave's own work around them (gathering
% traces, building the inputs with cat, the derivative products, the
% numerical flux), of which Octave's profiler names the largest items. For
% scale, the time of one pass over the state in the same run.
%
% The state is Thacker's bowl at t = 0 (wet and dry elements) on 92 x 92
% cells of two triangles, quadratic elements: 16928 elements, 101568 nodes.
%
% Run from the repository root after build_mex:  run('examples/rhs_speed_2d.m')

here = fileparts(mfilename('fullpath'));

% Calls a module and adds its time to moduleSeconds(m).
function varargout = timed_call(m, f, varargin)
  global moduleSeconds
  started = tic;
  [varargout{1:nargout}] = f(varargin{:});
  moduleSeconds(m) = moduleSeconds(m) + toc(started);
end

addpath(fullfile(here, 'dg2d'));
n = 92;
N = 2;
repeats = 7;
g = 9.81;
thr = 1e-6;
mesh = dg2d_mesh(dg2d_rectangle([-2, 2], [-2, 2], n, n), N);
[h, hu, hv, z] = dg2d_thacker(mesh.x, mesh.y, 0, 1, 0.1, 0.5, g);
bed = dg2d_bed(z, {mesh});
nodes = numel(h);
% The bowl, and for comparison the same bed under deep water moving
% everywhere (no element skipped).
deep = 1.6 - z;
states = {cat(3, h, hu, hv), cat(3, deep, 0.3 * deep, -0.2 * deep)};
stateNames = {'bowl', 'all wet'};
q = states{1};

% The compiled modules first: once the plain forms of the same names are
% loaded, a handle taken later may reach them instead.
variants = {'modules', 'plain'};
kernels = {dg2d_kernels('modules')};
seconds = zeros(2, 2);
spread = zeros(2, 2);
results = cell(2, 2);
for v = 1:2
  if v == 2
    kernels{2} = dg2d_kernels('plain');
  end
  for s = 1:2
    results{s, v} = dg2d_rhs(states{s}, bed, {mesh}, kernels{v}, g, thr);     % warm-up
    times = zeros(1, repeats);
    for i = 1:repeats
      started = tic;
      dg2d_rhs(states{s}, bed, {mesh}, kernels{v}, g, thr);
      times(i) = toc(started);
    end
    seconds(s, v) = min(times);
    spread(s, v) = max(times) - min(times);
  end
  if v == 1
    % Each module call timed where the right-hand side makes it.
    names = {'prebalance_volume_flux_2d', 'face_flux_2d', 'inner_edge_strong_rhs'};
    global moduleSeconds
    moduleSeconds = zeros(1, numel(names));
    timed = kernels{1};
    for m = 1:numel(names)
      timed.(names{m}) = @(varargin) timed_call(m, kernels{1}.(names{m}), varargin{:});
    end
    started = tic;
    for i = 1:repeats
      dg2d_rhs(q, bed, {mesh}, timed, g, thr);
    end
    timedTotal = toc(started) / repeats;
    moduleShare = moduleSeconds / repeats;
    profile off;
    profile clear;
    profile on;
    for i = 1:repeats
      dg2d_rhs(q, bed, {mesh}, kernels{1}, g, thr);
    end
    profile off;
    info = profile('info');
  end
end
wetElements = nnz(any(h > thr, 1));
fprintf('Right-hand side of the 2d solver, %d elements of order %d, %d nodes, best of %d (spread)\n', ...
        mesh.K, N, nodes, repeats);
fprintf('bowl at t = 0: %d elements with a wet node; all wet: every element\n', wetElements);
fprintf('%-10s %-10s %9s %9s %16s\n', 'state', 'variant', 'seconds', 'spread', 's / node / rhs');
for s = 1:2
  for v = 1:2
    fprintf('%-10s %-10s %9.4f %9.4f %16.3e\n', stateNames{s}, variants{v}, seconds(s, v), ...
            spread(s, v), seconds(s, v) / nodes);
  end
  fprintf('%-10s plain / modules: %.2f; largest difference of the two right-hand sides %.3e\n', ...
          stateNames{s}, seconds(s, 2) / seconds(s, 1), max(abs(results{s, 1}(:) - results{s, 2}(:))));
end
% For scale, in the same run: one pass over the state (read and write).
times = zeros(1, repeats);
for i = 1:repeats
  started = tic;
  copy = q * 2;
  times(i) = toc(started);
end
fprintf('one pass over the state (2 q): %.5f s, %.2f GB/s\n', min(times), 2 * numel(q) * 8 / min(times) / 1e9);

fprintf('\nwhere one evaluation of the bowl with the modules goes (%.4f s, timed calls):\n', timedTotal);
for m = 1:numel(names)
  fprintf('  %-32s %8.4f s %5.1f %%\n', names{m}, moduleShare(m), 100 * moduleShare(m) / timedTotal);
end
rest = timedTotal - sum(moduleShare);
fprintf('  %-32s %8.4f s %5.1f %%\n', 'Octave around the modules', rest, 100 * rest / timedTotal);
table = info.FunctionTable;
own = [table.TotalTime];
skip = ismember({table.FunctionName}, [names, {'dg2d_rhs', 'profile'}]);
own(skip) = 0;
[~, order] = sort(own, 'descend');
fprintf('  largest items of Octave''s own work (profiler, per evaluation):\n');
for i = order(1:8)
  fprintf('    %-30s %8.5f s\n', table(i).FunctionName, table(i).TotalTime / repeats);
end
