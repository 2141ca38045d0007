function dg2d_check_options(opt, caller)
% DG2D_CHECK_OPTIONS  End the call of caller (dg2d_options or dg2d_solve)
% with a caller:<option> error if an option of the 2d solver has a value the
% solver cannot run with, before any work. The output option is checked by
% output_options (its times against the run when the run starts).
  positive = @(v) isnumeric(v) && isscalar(v) && isreal(v) && v > 0;
  nonNegative = @(v) isnumeric(v) && isscalar(v) && isreal(v) && v >= 0;
  finite = @(test) @(v) test(v) && isfinite(v);
  rules = {'gravity', finite(positive), 'a positive number'; ...
           'dryThreshold', finite(nonNegative), 'a number >= 0'; ...
           'cfl', finite(positive), 'a positive number'; ...
           'finalTime', nonNegative, 'a number of seconds >= 0 (inf: until steps)'; ...
           'steps', nonNegative, 'a number >= 0 (inf: until finalTime)'; ...
           'maxSteps', positive, 'a positive number'; ...
           'shallowDepth', finite(nonNegative), 'a number >= 0'; ...
           'thinDepth', finite(nonNegative), 'a number >= 0'; ...
           'slopeLimiter', @(v) (islogical(v) || isnumeric(v)) && isscalar(v), 'true or false'; ...
           'progress', @(v) (islogical(v) || isnumeric(v)) && isscalar(v) && v >= 0, ...
           'false or a number of seconds'};
  for i = 1:size(rules, 1)
    value = opt.(rules{i, 1});
    if ~rules{i, 2}(value)
      error([caller ':' rules{i, 1}], '%s must be %s (got %s).', rules{i, 1}, rules{i, 3}, ...
            shown(value));
    end
  end
  if ~ischar(opt.flux) || ~any(strcmp(opt.flux, {'llf', 'hll'}))
    error([caller ':flux'], 'flux must be llf or hll (got %s).', shown(opt.flux));
  end
  times = opt.outputTimes;
  if ~isnumeric(times) || ~isreal(times) || any(times(:) < 0 | times(:) > opt.finalTime | isnan(times(:)))
    error([caller ':outputTimes'], 'outputTimes must lie between 0 and finalTime = %g s.', opt.finalTime);
  end
  output_options(opt.output, []);
end

function text = shown(value)
  if ischar(value)
    text = ['''' value ''''];
  elseif isnumeric(value) || islogical(value)
    text = mat2str(value);
  else
    text = ['a ' class(value)];
  end
end
