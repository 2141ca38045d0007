% NONHYDRO_RUNUP  Run-up of solitary waves on the 1:19.85 plane beach of
% Synolakis (1987), depth d = 1 m offshore, with the non-hydrostatic
% correction (nonhydro_runup_case; H/d = 0.0185 at the default resolution,
% P2 on cells of 0.5 d offshore shrinking to 0.1 d at the shore; H/d = 0.3
% on cells of 1 d shrinking to 0.25 d, as its bores make the steps short).
%
% H/d = 0.0185 does not break: its run-up against the law
% R/d = 2.831 sqrt(cot beta) (H/d)^(5/4), frictionless as the set-up says;
% H/d = 0.3 breaks: against the measured R/d = 0.551, with the bed friction
% of the laboratory flume, Manning's n = 0.01 s/m^(1/3) (a smooth bed; the
% frictionless figure of this case is in examples/nonhydro/README.md).
% Printed for each: the run-up, its reference and the
% relative error, the relative change of the mass, the smallest depth, the
% steps and the wall time; then the largest surface elevation at
% t sqrt(g/d) = 30, 40, 50, 60, 70. The height of the shoreline over time is
% drawn in nonhydro_runup.png next to this script.
%
% Run from the repository root after build_mex:
%   run('examples/nonhydro_runup.m')

here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, 'dg2d'));
addpath(fullfile(here, 'nonhydro'));

amplitudes = [0.0185, 0.3];
reference = [2.831 * sqrt(19.85) * 0.0185 ^ 1.25, 0.551];
names = {'run-up law', 'measured'};
runs = cell(1, 2);
fprintf('Solitary-wave run-up on a 1:19.85 beach, d = 1 m (H/d = 0.3 with Manning''s n = 0.01 s/m^(1/3))\n');
fprintf('%6s %9s %9s %-11s %8s %11s %10s %6s %8s\n', 'H/d', 'R/d', 'reference', '', 'error', 'mass', ...
        'min depth', 'steps', 'wall s');
caseOptions = {struct(), struct('cellSize', 1, 'shoreCellSize', 0.25, 'manning', 0.01)};
for i = 1:2
  r = nonhydro_runup_case(amplitudes(i), 19.85, caseOptions{i});
  runs{i} = r;
  fprintf('%6.4f %9.5f %9.5f %-11s %+7.2f%% %11.2e %10.3g %6d %8.1f\n', amplitudes(i), r.runup, ...
          reference(i), names{i}, 100 * (r.runup / reference(i) - 1), r.massChange, r.minDepth, ...
          r.steps, r.wallTime);
end
fprintf('largest surface elevation over d at t sqrt(g/d) =');
fprintf(' %6.0f', runs{1}.profileTimes);
fprintf('\n');
for i = 1:2
  fprintf('  H/d = %-6.4f%*s', amplitudes(i), 26, '');
  fprintf(' %6.4f', runs{i}.profileMax);
  fprintf('\n');
end

% Height of the shoreline over time, drawn headless through gnuplot (its two
% notices, about the toolkit and Ghostscript, silenced for the plot).
warnings = warning();
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
graphics_toolkit('gnuplot');
figure_handle = figure('visible', 'off', 'position', [0, 0, 1000, 450]);
plot(runs{1}.times, runs{1}.shoreline / amplitudes(1), 'b-', 'linewidth', 1.5, ...
     runs{2}.times, runs{2}.shoreline / amplitudes(2), 'r-', 'linewidth', 1.5, ...
     [0, max(runs{1}.times)], reference(1) / amplitudes(1) * [1, 1], 'b:', ...
     [0, max(runs{2}.times)], reference(2) / amplitudes(2) * [1, 1], 'r:');
xlabel('t sqrt(g/d)');
ylabel('shoreline height / H');
title('Solitary-wave run-up on a 1:19.85 beach');
legend('H/d = 0.0185', 'H/d = 0.3, n = 0.01', 'run-up law (0.0185)', 'measured (0.3)', 'location', 'northwest');
grid on;
plot_file = fullfile(here, 'nonhydro_runup.png');
print(figure_handle, '-dpngcairo', '-r100', plot_file);
close(figure_handle);
warning(warnings);
fprintf('plot: %s\n', plot_file);
