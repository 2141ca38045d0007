% NONHYDRO_SHOALING  Linear shoaling of a periodic wave, H0/d0 = 0.002, up a
% 1:50 slope from k d = 2 to k d = 0.5 (nonhydro_shoaling_case, default
% resolution: P2, 8 cells per local wavelength, switched on over 10 periods,
% 2 measured periods). The wave is made in a generating relaxation zone
% beside the incident-wave boundary (code 8), which also takes up what the
% slope reflects, and dies in an absorbing relaxation zone before the
% radiation boundary (code 9).
%
% Printed: the wave height over the offshore height against shoaling theory
% K_s = sqrt(cg0/cg) of the model's own dispersion relation,
% w^2 = g d k^2 / (1 + (k d)^2/4), at points along the slope, the largest
% error on the slope, the offshore height over the prescribed one, the
% reflected wave over the incident one on the offshore flat bed, steps and
% wall time. Drawn in nonhydro_shoaling.png next to this script.
%
% Run from the repository root after build_mex:
%   run('examples/nonhydro_shoaling.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'nonhydro'));

r = nonhydro_shoaling_case();
fprintf('Linear shoaling, H0/d0 = %g, slope 1:50 from kd = 2 (d = 1 m) to kd = 0.5 (d = %.4f m)\n', ...
        r.options.waveHeight, r.d1);
fprintf('%8s %8s %8s %8s %8s\n', 'x (m)', 'd (m)', 'H/H0', 'K_s', 'error');
points = find(r.slope);
points = points(round(linspace(1, numel(points), 12)));
for i = points'
  fprintf('%8.2f %8.4f %8.4f %8.4f %+7.2f%%\n', r.x(i), r.depth(i), r.height(i), r.theory(i), ...
          100 * (r.height(i) / r.theory(i) - 1));
end
fprintf('largest error on the slope %.2f%% (x = %.2f m); offshore height %.4f of the prescribed one\n', ...
        100 * r.maxError, r.where, r.incidentHeight);
fprintf('reflected over incident wave offshore %.4f\n', r.reflection);
fprintf('%d steps, %d unknowns, %.1f s wall time\n', r.steps, r.unknowns, r.wallTime);

warnings = warning();
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
graphics_toolkit('gnuplot');
figure_handle = figure('visible', 'off', 'position', [0, 0, 1000, 450]);
plot(r.x, r.height, 'b-', 'linewidth', 1, r.x, r.theory, 'k--', 'linewidth', 1.5);
xlabel('x (m)');
ylabel('H / H_0');
title('Linear shoaling on a 1:50 slope, kd = 2 to 0.5');
legend('model', 'K_s (model dispersion)', 'location', 'northwest');
grid on;
plot_file = fullfile(here, 'nonhydro_shoaling.png');
print(figure_handle, '-dpngcairo', '-r100', plot_file);
close(figure_handle);
warning(warnings);
fprintf('plot: %s\n', plot_file);
