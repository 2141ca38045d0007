% DG3D_CASES  The 3d layered model on prisms (examples/dg3d) against exact
% vertical profiles, and its cost:
%   1. wind-driven closed basin (set-up and the steady profile),
%   2. channel flow driven by a surface slope (steady, start-up from rest,
%      linear bed friction),
%   3. steady Ekman layer of finite depth,
%   4. lake at rest over a varying bed,
%   5. seconds per node per right-hand side with the modules and with their
%      plain Octave twins.
% Writes dg3d_profiles.png (computed and exact profiles of cases 1 to 3)
% beside this script, and the first run of case 1 to output/dg3d_wind_basin.nc
% and output/dg3d_wind_basin.pvd (with its .vtu files).
%
% Run from the repository root after build_mex:
%   run('examples/dg3d_cases.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'dg3d'));
started = tic();

fprintf('1. Wind-driven closed basin: h = 1 m, 10 m long, tau = 0.1 Pa, nu = 0.05 m^2/s, no-slip bed\n');
fprintf('%7s %4s %7s %14s %12s %11s %7s %9s\n', 'layers', 'Nz', 'nodes', 'profile error', 'setup error', ...
        'mass', 'steps', 'wall s');
if ~exist(fullfile(here, 'output'), 'dir')
  mkdir(fullfile(here, 'output'));
end
files = fullfile(here, 'output', 'dg3d_wind_basin');
wind = dg3d_wind_basin_case(10, 2, struct('output', struct('netcdf', [files '.nc'], 'vtk', files)));
runs = {wind, dg3d_wind_basin_case(5, 1), dg3d_wind_basin_case(10, 1), dg3d_wind_basin_case(20, 1)};
layers = [10, 5, 10, 20];
for i = 1:numel(runs)
  w = runs{i};
  fprintf('%7d %4d %7d %14.3e %12.3e %11.1e %7d %9.1f\n', layers(i), 1 + (i == 1), w.nodes, ...
          w.profileError, w.setupError, w.massChange, w.steps, w.wallTime);
end
e = cellfun(@(w) w.profileError, runs(2:end));
fprintf('Nz = 1 orders over 5, 10, 20 layers: %.2f, %.2f\n', log2(e(1:2) ./ e(2:3)));
vtu = dir([files '_*.vtu']);
fprintf('First run written to %s.nc (%.0f kB) and %s.pvd (%d .vtu files, %.0f kB)\n\n', files, ...
        dir([files '.nc']).bytes / 1e3, files, numel(vtu), sum([vtu.bytes]) / 1e3);

fprintf('2. Channel flow driven by a surface slope: h = 1 m, S0 = 1e-5, nu = 0.1 m^2/s\n');
fprintf('%7s %4s %9s %14s %14s\n', 'layers', 'Nz', 'bed', 'steady error', 'start-up error');
channel = dg3d_channel_case(10, 2);
runs = {channel, dg3d_channel_case(5, 1), dg3d_channel_case(10, 1), dg3d_channel_case(20, 1), ...
        dg3d_channel_case(10, 2, struct('friction', 0.01)), dg3d_channel_case(10, 1, struct('friction', 0.01))};
layers = [10, 5, 10, 20, 10, 10];
orders = [2, 1, 1, 1, 2, 1];
for i = 1:numel(runs)
  c = runs{i};
  bed = 'no slip';
  if c.options.friction > 0
    bed = sprintf('r = %g', c.options.friction);
  end
  fprintf('%7d %4d %9s %14.3e %14.3e\n', layers(i), orders(i), bed, c.steadyError, c.startupError);
end
fprintf('(start-up error at t = h^2/nu against the Fourier series; errors relative to the surface speed)\n\n');

fprintf('3. Ekman layer: H = 20 m, f = 1e-4, nu = 5e-4, tau = 0.1027 Pa, discrete steady state solved directly\n');
fprintf('%7s %4s %13s %13s %14s %12s\n', 'layers', 'Nz', 'L2 error m/s', 'max error', 'surface m/s', 'angle deg');
ekman = dg3d_ekman_case(10, 1);
runs = {ekman, dg3d_ekman_case(10, 2), dg3d_ekman_case(25, 1), dg3d_ekman_case(25, 2)};
layers = [10, 10, 25, 25];
orders = [1, 2, 1, 2];
for i = 1:numel(runs)
  k = runs{i};
  fprintf('%7d %4d %13.3e %13.3e %14.5f %12.3f\n', layers(i), orders(i), k.l2Error, k.maxError, ...
          k.surfaceSpeed, k.surfaceAngle);
end
fprintf('%7s %4s %13s %13s %14.5f %12.3f\n\n', 'exact', '', '', '', ekman.exactSpeed, ekman.exactAngle);

fprintf('4. Lake at rest over a varying bed (4 layers, Nz = 2, surface at z = 0.25 m)\n');
lake = dg3d_lake_case(4, 2);
fprintf('steps %d, largest velocity %.1e m/s, surface change %.1e m, mass change %.1e\n\n', ...
        lake.steps, lake.maxVelocity, lake.surfaceChange, lake.massChange);

% Vertical order 1, and 2 as in the cases above, each at 100800 prism nodes.
speedMeshes = {struct(), struct('Nz', 2, 'elementsX', 28, 'elementsY', 20)};
for m = 1:2
  speed = dg3d_speed_case(speedMeshes{m});
  fprintf('5. Speed of the explicit right-hand side (P1 triangles, 10 layers, Nz = %d)\n', speed.options.Nz);
  fprintf('%d prism nodes; s per right-hand side: modules %.4f, plain %.4f; s/node/rhs: modules %.2e, plain %.2e; plain/modules %.2f; results differ by %.1e\n', ...
          speed.nodes, speed.perRhs, speed.perNode, speed.ratio, speed.difference);
  fprintf('in CPU seconds of this process: s/node/rhs: modules %.2e, plain %.2e\n', speed.cpuPerNode);
  fprintf('%-10s %12s %12s %12s | %22s %24s %22s\n', 'variant', 'continuity', 'pressure', 'vertical', ...
          speed.moduleNames{:});
  variants = {'modules', 'plain'};
  for v = 1:2
    fprintf('%-10s %12.4f %12.4f %12.4f | %22.4f %24.4f %22.4f\n', variants{v}, speed.partSeconds(v, :), ...
            speed.moduleSeconds(v, :));
  end
  fprintf('(seconds per call of each part, and per right-hand side inside each module)\n\n');
end

% Profiles of cases 1 to 3, headless through gnuplot.
warnings = warning();
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
graphics_toolkit('gnuplot');
figure_handle = figure('visible', 'off', 'position', [0, 0, 1200, 450]);
subplot(1, 3, 1);
s = linspace(0, 1, 101);
plot((1 + 4 * (s - 1) + 3 * (s - 1) .^ 2), s, 'k-', wind.u, wind.sigma, 'ro');
xlabel('u / (\tau h / 4 \rho \nu)');
ylabel('\sigma');
title('1. wind-driven basin, 10 layers, Nz = 2');
legend('exact', 'computed', 'location', 'northwest');
subplot(1, 3, 2);
plot(2 * (s - s .^ 2 / 2), s, 'k-', channel.u, channel.sigma, 'ro');
xlabel('u / u_{surface}');
title('2. slope-driven channel, steady');
subplot(1, 3, 3);
k = ekman.options;
alpha = sqrt(1i * k.coriolis / k.nu);
W = (k.tau / 1000) * sinh(alpha * s * k.depth) / (k.nu * alpha * cosh(alpha * k.depth));
plot(real(W), s, 'k-', ekman.u, ekman.sigma, 'ro', imag(W), s, 'b-', ekman.v, ekman.sigma, 'bs');
xlabel('u, v (m/s)');
title('3. Ekman layer, 10 layers, Nz = 1');
legend('u exact', 'u', 'v exact', 'v', 'location', 'southwest');
plot_file = fullfile(here, 'dg3d_profiles.png');
print(figure_handle, '-dpngcairo', '-r100', plot_file);
close(figure_handle);
warning(warnings);
fprintf('Profiles written to %s; entry script ran in %.0f s\n', plot_file, toc(started));
