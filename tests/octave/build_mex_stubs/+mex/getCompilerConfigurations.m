function config = getCompilerConfigurations(language, which)
% Stands in for MATLAB's: the configuration test_build_mex_matlab sets.
  global build_mex_stub
  assert(strcmp(language, 'C++') && strcmp(which, 'Selected'));
  config = build_mex_stub.config;
end
