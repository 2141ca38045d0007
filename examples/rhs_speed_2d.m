% RHS_SPEED_2D  Cost of one right-hand-side evaluation of the 2d wet/dry
% solver (examples/dg2d) at over 10^5 nodes: with the compiled modules and
% with their plain Octave forms (dg2d_kernels('plain')), side by side in one
% run, as seconds per node per evaluation and their ratio. Then where the
% time of the module variant goes, from Octave's profiler: the four module
% calls, the builtins that prepare their inputs and take their outputs
% apart (cat, reshape, indexing, matrix products), and the rest.
%
% The state is Thacker's bowl at t = 0 (wet and dry elements) on 92 x 92
% cells of two triangles, quadratic elements: 16928 elements, 101568 nodes.
%
% Run from the repository root after build_mex:  run('examples/rhs_speed_2d.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
n = 92;
N = 2;
repeats = 5;
g = 9.81;
thr = 1e-6;
mesh = dg2d_mesh(dg2d_rectangle([-2, 2], [-2, 2], n, n), N);
[h, hu, hv, z] = dg2d_thacker(mesh.x, mesh.y, 0, 1, 0.1, 0.5, g);
q = cat(3, h, hu, hv);
nodes = numel(h);
variants = {'modules', 'plain'};
seconds = zeros(1, 2);
results = cell(1, 2);
for v = 1:2
  kernels = dg2d_kernels(variants{v});
  results{v} = dg2d_rhs(q, z, {mesh}, kernels, g, thr);     % warm-up
  times = zeros(1, repeats);
  for i = 1:repeats
    started = tic;
    dg2d_rhs(q, z, {mesh}, kernels, g, thr);
    times(i) = toc(started);
  end
  seconds(v) = median(times);
end
fprintf('Right-hand side of the 2d solver, %d elements of order %d, %d nodes, median of %d\n', ...
        mesh.K, N, nodes, repeats);
fprintf('%-22s %12s %16s\n', 'variant', 'seconds', 's / node / rhs');
for v = 1:2
  fprintf('%-22s %12.4f %16.3e\n', variants{v}, seconds(v), seconds(v) / nodes);
end
fprintf('plain / modules: %.2f; largest difference of the two right-hand sides %.3e\n', ...
        seconds(2) / seconds(1), max(abs(results{1}(:) - results{2}(:))));

% Where the time of the module variant goes.
kernels = dg2d_kernels('modules');
profile off;
profile clear;
profile on;
for i = 1:repeats
  dg2d_rhs(q, z, {mesh}, kernels, g, thr);
end
profile off;
info = profile('info');
table = info.FunctionTable;
names = {table.FunctionName};
total = table(strcmp(names, 'dg2d_rhs')).TotalTime;
modules = {'prebalance_volume_flux_2d', 'face_flux_2d', 'inner_edge_strong_rhs'};
moduleTime = sum([table(ismember(names, modules)).TotalTime]);
handling = {'cat', 'reshape', 'binary *', 'zeros', 'max', 'abs', 'sqrt'};
fprintf('\nprofile of %d evaluations with the modules (%.3f s in dg2d_rhs):\n', repeats, total);
for i = 1:numel(modules)
  row = table(strcmp(names, modules{i}));
  fprintf('  %-28s %8.3f s %5.1f %%\n', modules{i}, row.TotalTime, 100 * row.TotalTime / total);
end
fprintf('  %-28s %8.3f s %5.1f %%\n', 'all module calls', moduleTime, 100 * moduleTime / total);
[~, order] = sort([table.TotalTime], 'descend');
fprintf('  the largest other entries:\n');
shown = 0;
for i = order
  if shown == 8
    break;
  end
  if ~any(strcmp(table(i).FunctionName, [modules, {'dg2d_rhs', 'profile'}]))
    fprintf('  %-28s %8.3f s %5.1f %%\n', table(i).FunctionName, table(i).TotalTime, ...
            100 * table(i).TotalTime / total);
    shown = shown + 1;
  end
end
