% LAKE_AT_REST_2D  A lake at rest around an emerged island must stay exactly
% still: the 2d wet/dry DG solver (examples/dg2d) on the unstructured Gmsh
% mesh lake_2d.msh (made from lake_2d.geo), linear elements.
%
% The bed is a basin at z = -0.5 with a Gaussian island rising to z = 0.3;
% the surface is eta0 = 0.1, so the island's top is dry and the shoreline
% crosses elements (partly dry elements). After 1000 steps the script prints
% the largest discharges, the largest departure of the surface from eta0 on
% the wet nodes and the largest depth on the nodes that were dry. Goal: all
% at most 1e-12.
%
% Run from the repository root after build_mex:  run('examples/lake_at_rest_2d.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
eta0 = 0.1;
steps = 1000;
mesh = dg2d_mesh(dg2d_read_msh(fullfile(here, 'lake_2d.msh')), 1);
z = -0.5 + 0.8 * exp(-((mesh.x - 0.2) .^ 2 + (mesh.y + 0.1) .^ 2) / 0.1);
h = max(0, eta0 - z);
opt = dg2d_options('finalTime', inf, 'steps', steps);
r = dg2d_solve(mesh, cat(3, h, zeros(size(h)), zeros(size(h))), z, opt);
wet = h > opt.dryThreshold;
hT = r.q(:, :, 1);
fprintf('Lake at rest, eta0 = %g, island emerged: %d of %d nodes dry, %d elements, P%d, %d steps to t = %.4f s\n', ...
        eta0, nnz(~wet), numel(h), mesh.K, mesh.N, r.steps, r.finalTime);
fprintf('%-34s %12s\n', 'quantity', 'value');
fprintf('%-34s %12.3e\n', 'max |hu|', max(max(abs(r.q(:, :, 2)))));
fprintf('%-34s %12.3e\n', 'max |hv|', max(max(abs(r.q(:, :, 3)))));
fprintf('%-34s %12.3e\n', 'max |h + z - eta0| on wet nodes', max(abs(hT(wet) + z(wet) - eta0)));
fprintf('%-34s %12.3e\n', 'max h on the nodes that were dry', max(hT(~wet)));
fprintf('%-34s %12.2f\n', 'wall time (s)', r.wallTime);
