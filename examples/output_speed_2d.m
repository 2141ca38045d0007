% OUTPUT_SPEED_2D  Cost of the output files at over 10^5 nodes against the
% cost of a time step: Thacker's bowl on 92 x 92 cells of two triangles,
% quadratic elements (16928 elements, 101568 nodes), as in rhs_speed_2d.
% Prints the wall time of one SSP Runge-Kutta step of dg2d_solve (from runs
% of 2 and 12 steps, so the set-up cancels), the time of creating the NetCDF
% file, of writing one time to it and of writing one .vtu file with the
% .pvd (each the median of 5), and the file sizes per time.
%
% Run from the repository root after build_mex:  run('examples/output_speed_2d.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'common'));
mesh = dg2d_mesh(dg2d_rectangle([-2, 2], [-2, 2], 92, 92), 2);
[h, hu, hv, z] = dg2d_thacker(mesh.x, mesh.y, 0, 1, 0.1, 0.5, 9.81);
q = cat(3, h, hu, hv);
fprintf('Output at %d nodes (%d elements, P2)\n', numel(h), mesh.K);

walls = zeros(1, 2);
counts = [2, 12];
for i = 1:2
  r = dg2d_solve(mesh, q, z, dg2d_options('finalTime', inf, 'steps', counts(i), 'slopeLimiter', false));
  walls(i) = r.wallTime;
end
step = diff(walls) / diff(counts);
fprintf('one time step of dg2d_solve          %8.3f s\n', step);

folder = tempname();
mkdir(folder);
grid = output_grid_triangles(mesh.x, mesh.y, 2);
names = struct('nodal', {{'h', 'hu', 'hv', 'eta'}}, 'layered', {{}});
meta = struct('title', 'output speed', 'source', 'examples/output_speed_2d.m');
fields = struct('h', h, 'hu', hu, 'hv', hv, 'eta', h + z);
repeats = 5;
seconds = zeros(3, repeats);
for i = 1:repeats
  started = tic;
  writerNc = output_open(struct('netcdf', fullfile(folder, 'speed.nc'), 'times', 0:repeats), inf, ...
                         grid, z, names, meta);
  seconds(1, i) = toc(started);
end
writerVtk = output_open(struct('vtk', fullfile(folder, 'speed'), 'times', 0:repeats), inf, grid, z, names, meta);
for i = 1:repeats
  started = tic;
  writerNc = output_write(writerNc, i, fields);
  seconds(2, i) = toc(started);
  started = tic;
  writerVtk = output_write(writerVtk, i, fields);
  seconds(3, i) = toc(started);
end
seconds = median(seconds, 2);
full = dir(fullfile(folder, 'speed.nc'));
output_open(struct('netcdf', fullfile(folder, 'empty.nc'), 'times', 0), inf, grid, z, names, meta);
empty = dir(fullfile(folder, 'empty.nc'));
vtu = dir(fullfile(folder, 'speed_0000.vtu'));
fprintf('NetCDF file created (mesh, bed)      %8.3f s  %6.1f MB\n', seconds(1), empty.bytes / 1e6);
fprintf('NetCDF, one time (h, hu, hv, eta)    %8.3f s  %6.1f MB  (%.2f steps)\n', seconds(2), ...
        (full.bytes - empty.bytes) / repeats / 1e6, seconds(2) / step);
fprintf('VTK .vtu and .pvd, one time          %8.3f s  %6.1f MB  (%.2f steps)\n', seconds(3), vtu.bytes / 1e6, ...
        seconds(3) / step);
confirm_recursive_rmdir(false, 'local');
rmdir(folder, 's');
