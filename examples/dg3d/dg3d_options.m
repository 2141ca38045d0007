function opt = dg3d_options(varargin)
% DG3D_OPTIONS  Options of the 3d layered solver, as name/value pairs over
% these defaults (SI units):
%   g 9.81, rho 1000; nu 0.01 (eddy viscosity: a number; for the implicit
%   step also Nc x 1 values along a line, bed first; for the explicit step
%   also Np x K per node); coriolis 0 (f); windStress [0 0] (Pa, x and y);
%   bodyForce [0 0] (m/s^2, e.g. the slope forcing g S0); bed 'noslip',
%   'linear' (nu du/dz = r u_b at the bed, r = friction in m/s) or
%   'quadratic' (nu du/dz = Cd |u_b| u_b, Cd = friction); friction 0;
%   bedPenalty 2, innerPenalty 1 (penalties of the viscous flux, times
%   nu / Jz); implicit true (vertical viscosity and Coriolis by the theta
%   step on each vertical line) or false (all explicit, the step bounded by
%   the viscous limit); theta 1; horizontal true (false: a horizontally
%   uniform flow, no pressure gradient or transport divergence); cfl 0.5;
%   finalTime 1; maxSteps inf; steadyTolerance 0 (>0: stop when the largest
%   change of u over steadyEvery steps is below it); steadyEvery 100;
%   kernels 'modules' or 'plain'; output [] (NetCDF and VTK files written
%   during the run: see output_options in examples/common); progress false
%   (or seconds between progress lines: progress_start). A value the solver
%   cannot run with ends the call with a dg3d_options:<option> error.
  % The shared writers (output_options) live in ../common.
  addpath(fullfile(fileparts(fileparts(mfilename('fullpath'))), 'common'));
  opt = struct('g', 9.81, 'rho', 1000, 'nu', 0.01, 'coriolis', 0, 'windStress', [0 0], ...
               'bodyForce', [0 0], 'bed', 'noslip', 'friction', 0, 'bedPenalty', 2, ...
               'innerPenalty', 1, 'implicit', true, 'theta', 1, 'horizontal', true, 'cfl', 0.5, ...
               'finalTime', 1, 'maxSteps', inf, 'steadyTolerance', 0, 'steadyEvery', 100, ...
               'kernels', 'modules', 'output', [], 'progress', false);
  if mod(numel(varargin), 2) ~= 0
    error('dg3d_options:pairs', 'Options come in name/value pairs (%d arguments given).', numel(varargin));
  end
  % Each name/value pair over the defaults.
  for i = 1:2:numel(varargin)
    name = varargin{i};
    if ~ischar(name) || ~isfield(opt, name)
      error('dg3d_options:unknown', 'Unknown option %s.', num2str(name));
    end
    opt.(name) = varargin{i + 1};
  end
  dg3d_check_options(opt, 'dg3d_options');
  opt.windStress = reshape(opt.windStress, 1, 2);
  opt.bodyForce = reshape(opt.bodyForce, 1, 2);
end
