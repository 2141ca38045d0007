function dg3d_check_options(opt, caller)
% DG3D_CHECK_OPTIONS  End the call of caller (dg3d_options or dg3d_solve)
% with a caller:<option> error if an option of the 3d solver has a value the
% solver cannot run with, before any work. The output option is checked by
% output_options (its times against the run when the run starts).
  if ~ischar(opt.bed) || ~any(strcmp(opt.bed, {'noslip', 'linear', 'quadratic'}))
    error([caller ':bed'], 'Bed %s: noslip, linear or quadratic.', num2str(opt.bed));
  end
  if ~ischar(opt.kernels) || ~any(strcmp(opt.kernels, {'modules', 'plain'}))
    error([caller ':kernels'], 'Kernels %s: modules or plain.', num2str(opt.kernels));
  end
  number = @(v) isnumeric(v) && isscalar(v) && isreal(v) && ~isnan(v);
  if ~isnumeric(opt.nu) || isempty(opt.nu) || any(~(opt.nu(:) > 0)) || ~number(opt.friction) ...
     || opt.friction < 0 || ~number(opt.theta) || opt.theta < 0.5 || opt.theta > 1 ...
     || ~number(opt.cfl) || ~(opt.cfl > 0) || ~isfinite(opt.cfl)
    error([caller ':value'], 'nu > 0, friction >= 0, theta in [0.5, 1] and cfl > 0 are required.');
  end
  if ~number(opt.finalTime) || opt.finalTime < 0
    error([caller ':finalTime'], 'finalTime must be a number of seconds >= 0.');
  end
  if ~number(opt.maxSteps) || ~(opt.maxSteps > 0)
    error([caller ':maxSteps'], 'maxSteps must be a positive number (inf: until finalTime).');
  end
  progress = opt.progress;
  if ~(isnumeric(progress) || islogical(progress)) || ~isscalar(progress) || ~(progress >= 0)
    error([caller ':progress'], 'progress must be false or a number of seconds >= 0.');
  end
  output_options(opt.output, []);
end
