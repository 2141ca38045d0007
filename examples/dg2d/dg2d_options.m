function opt = dg2d_options(varargin)
% DG2D_OPTIONS  Options of dg2d_solve: the defaults, changed by name-value
% pairs. gravity 9.81, dryThreshold 1e-6, cfl 0.5, finalTime 1, outputTimes
% [], steps inf, maxSteps 1e6, shallowDepth 1e-3, thinDepth 0.2, flux
% 'llf', slopeLimiter true, kernels (the compiled modules, or the variant named by
% 'kernels', 'plain'), output [] (files written during the run: see
% output_options in examples/common), progress false (or seconds between
% progress lines: progress_start). A value the solver cannot run with ends
% the call with a dg2d_options:<option> error.
  addpath(fullfile(fileparts(fileparts(mfilename('fullpath'))), 'common'));
  opt = struct('gravity', 9.81, 'dryThreshold', 1e-6, 'cfl', 0.5, 'finalTime', 1, ...
               'outputTimes', [], 'steps', inf, 'maxSteps', 1e6, 'shallowDepth', 1e-3, ...
               'thinDepth', 0.2, 'flux', 'llf', 'slopeLimiter', true, 'kernels', 'modules', ...
               'output', [], 'progress', false);
  for i = 1:2:numel(varargin)
    if ~isfield(opt, varargin{i})
      error('dg2d_options:unknownOption', 'Unknown option %s.', varargin{i});
    end
    opt.(varargin{i}) = varargin{i + 1};
  end
  dg2d_check_options(opt, 'dg2d_options');
  if ischar(opt.kernels)
    opt.kernels = dg2d_kernels(opt.kernels);
  end
end
