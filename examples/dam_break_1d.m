% DAM_BREAK_1D  A dam breaks onto a dry bed: the 1d shallow-water equations on a
% flat bed, solved by nodal discontinuous Galerkin in Octave with the compiled
% kernels, and compared with the exact (Ritter) solution.
%
% A 1000 m channel with walls at both ends; the dam at x0 = 500 m holds 10 m of
% water, the bed beyond it is dry. After 20 s the rarefaction has run 198 m
% upstream and the front 396 m downstream, short of both walls. The run is
% repeated on 100, 200 and 400 linear elements; for each it prints the L1 error
% of the depth, the observed order, the relative change of the total mass, the
% smallest depth met in any stage and the wall time. The finest run is plotted
% against the exact depth in dam_break_1d.png next to this script.
%
% Run from the repository root after build_mex:  run('examples/dam_break_1d.m')

here = fileparts(mfilename('fullpath'));
addpath(here);
resolutions = [100 200 400];
order = 1;

fprintf('Dam break onto a dry bed, P%d elements, exact solution by Ritter\n', order);
fprintf('%6s %14s %8s %14s %14s %7s %10s\n', 'K', 'L1 error (m2)', 'order', ...
        'mass change', 'min depth (m)', 'steps', 'time (s)');
runs = cell(size(resolutions));
for i = 1:numel(resolutions)
  r = dam_break_1d_solve(resolutions(i), 'order', order);
  runs{i} = r;
  observed = '';
  if i > 1
    observed = sprintf('%.2f', log2(runs{i - 1}.l1Error / r.l1Error));
  end
  fprintf('%6d %14.6e %8s %14.3e %14.3e %7d %10.2f\n', r.K, r.l1Error, observed, ...
          r.massChange, r.minDepth, r.steps, r.wallTime);
end
fprintf('total wall time %.2f s\n', sum(cellfun(@(r) r.wallTime, runs)));

% Computed depth (every element's nodes, elements apart) against the exact one,
% drawn headless through gnuplot.
r = runs{end};
xs = linspace(0, r.options.channelLength, 4001);
xe = [r.x; nan(1, r.K)];
he = [r.h; nan(1, r.K)];
% gnuplot draws without a display; its two notices (the toolkit is not
% Octave's default, and Ghostscript is not needed for the cairo PNG terminal)
% are silenced for the plot.
warnings = warning();
warning('off', 'Octave:gnuplot-graphics');
warning('off', 'print:nogs');
graphics_toolkit('gnuplot');
figure_handle = figure('visible', 'off', 'position', [0, 0, 900, 500]);
plot(xs, r.exactDepth(xs), 'k-', 'linewidth', 1.5, xe(:), he(:), 'r-', 'linewidth', 1);
xlabel('x (m)');
ylabel('depth h (m)');
title(sprintf('Dam break onto a dry bed at t = %g s, K = %d, P%d', r.finalTime, r.K, r.order));
legend('exact (Ritter)', 'DG with the kernels', 'location', 'northeast');
axis([0, r.options.channelLength, -0.5, 1.1 * r.options.damDepth]);
grid on;
plot_file = fullfile(here, 'dam_break_1d.png');
print(figure_handle, '-dpngcairo', '-r100', plot_file);
close(figure_handle);
warning(warnings);
fprintf('plot: %s\n', plot_file);
