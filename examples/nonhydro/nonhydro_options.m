function opt = nonhydro_options(opt, pairs)
% NONHYDRO_OPTIONS  The defaults in opt with the name/value pairs changed.
  for i = 1:2:numel(pairs)
    if ~isfield(opt, pairs{i})
      error('nonhydro:unknownOption', 'Unknown option %s.', pairs{i});
    end
    opt.(pairs{i}) = pairs{i + 1};
  end
end
