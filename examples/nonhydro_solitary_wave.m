% NONHYDRO_SOLITARY_WAVE  A solitary wave over a flat bed, with and without
% the non-hydrostatic correction.
%
% Depth 10 m, amplitude 1 m, in a channel 600 m long (P2 on a strip of 120
% square cells), for 30 s, a little over 30 depths of travel
% (nonhydro_solitary_wave_case). Printed for each run: the celerity of the
% crest against sqrt(g (d + a)), the crest height at the end and its range
% over the run, the largest wave behind the crest, the distance travelled, the
% relative change of the total mass and the cost per time step (wall clock
% and processor time) with the shares of the pressure correction (assembly and solve) and of the sparse
% solves alone. Both surfaces at the end are drawn, with the
% wave at the start and the exact solitary wave at the end, in
% nonhydro_solitary_wave.png next to this script. The non-hydrostatic run
% writes its state at t = 0 and every 3 s to output/nonhydro_solitary_wave.nc
% (NetCDF, CF and UGRID conventions) and to the VTK series
% output/nonhydro_solitary_wave.pvd next to this script, and prints its
% progress every few seconds.
%
% Run from the repository root after build_mex:
%   run('examples/nonhydro_solitary_wave.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'nonhydro'));

fprintf('Solitary wave, depth 10 m, amplitude 1 m, P2 on 120 cells of 5 m, 30 s\n');
fprintf('%-15s %9s %9s %8s %9s %17s %9s %9s %9s %8s %8s %10s %7s\n', 'run', 'celerity', 'vs theory', ...
        'crest', 'crest/a', 'range over run', 'trailing', 'travelled', 'mass', 's/step', 'cpu s', ...
        'correction', 'solve');
outputFolder = fullfile(here, 'output');
if ~exist(outputFolder, 'dir')
  mkdir(outputFolder);
end
files = struct('netcdf', fullfile(outputFolder, 'nonhydro_solitary_wave.nc'), ...
               'vtk', fullfile(outputFolder, 'nonhydro_solitary_wave'), 'every', 3, ...
               'title', 'A solitary wave over a flat bed, depth-averaged non-hydrostatic model');
runs = {nonhydro_solitary_wave_case('output', files, 'progress', 5), ...
        nonhydro_solitary_wave_case('nonhydrostatic', false)};
names = {'non-hydrostatic', 'hydrostatic'};
for i = 1:2
  r = runs{i};
  fprintf(['%-15s %9.4f %+8.3f%% %8.4f %9.4f %8.4f..%-7.4f %8.2f%% %7.1f d %9.1e %8.4f %8.4f ' ...
           '%9.0f%% %6.0f%%\n'], names{i}, ...
          r.celerity, 100 * (r.celerity / r.theoryCelerity - 1), r.crest(end, 2), r.amplitude, ...
          r.amplitudeRange, 100 * r.trailing, r.travelled, r.massChange, r.wallTime / r.steps, ...
          r.cpuTime / r.steps, 100 * r.correctionTime / r.wallTime, 100 * r.solveTime / r.wallTime);
end
fprintf('theory: celerity sqrt(g (d + a)) = %.4f m/s\n', runs{1}.theoryCelerity);

% Surfaces along the channel, drawn headless through gnuplot (its two notices,
% about the toolkit and Ghostscript, silenced for the plot).
r = runs{1};
warnings = warning();
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
graphics_toolkit('gnuplot');
figure_handle = figure('visible', 'off', 'position', [0, 0, 1000, 450]);
plot(r.x, r.eta0, 'k:', 'linewidth', 1, ...
     r.x, r.exact(r.x, r.times(end)), 'k-', 'linewidth', 1.5, ...
     r.x, r.eta, 'b-', 'linewidth', 1, ...
     runs{2}.x, runs{2}.eta, 'r-', 'linewidth', 1);
xlabel('x (m)');
ylabel('surface elevation (m)');
title(sprintf('Solitary wave, a/d = 0.1, after %.0f s (%.0f depths)', r.times(end), r.travelled));
legend('start', 'exact solitary wave', 'non-hydrostatic', 'hydrostatic', 'location', 'northwest');
axis([0, r.options.channelLength, -0.2, 1.3]);
grid on;
plot_file = fullfile(here, 'nonhydro_solitary_wave.png');
print(figure_handle, '-dpngcairo', '-r100', plot_file);
close(figure_handle);
warning(warnings);
fprintf('plot: %s\n', plot_file);
