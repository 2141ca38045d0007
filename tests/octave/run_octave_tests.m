function failed = run_octave_tests()
% RUN_OCTAVE_TESTS  Build the modules with build_mex, then run every test_*.m
% in this folder. Each test file returns a cell array of test functions; a test
% passes when it returns without an error. Prints "N passed, N failed" and
% returns the number failed.
  here = fileparts(mfilename('fullpath'));
  root = fileparts(fileparts(here));
  addpath(here);
  old = cd(root);
  restore = onCleanup(@() cd(old));
  build_mex();

  files = dir(fullfile(here, 'test_*.m'));
  passed = 0;
  failed = 0;
  for f = 1:numel(files)
    [~, suite] = fileparts(files(f).name);
    tests = feval(suite);
    for t = 1:numel(tests)
      name = sprintf('%s/%s', suite, func2str(tests{t}));
      try
        tests{t}();
        passed = passed + 1;
        fprintf('  ok    %s\n', name);
      catch err
        failed = failed + 1;
        fprintf('  FAIL  %s\n        %s\n', name, err.message);
      end
    end
  end
  fprintf('octave suite: %d passed, %d failed\n', passed, failed);
end
