function tests = test_build_mex_matlab()
  tests = {@passes_each_compiler_its_flags_or_stops};
end

% build_mex's MATLAB branch, run in Octave against the stubs of mex and
% mex.getCompilerConfigurations in build_mex_stubs/.
function passes_each_compiler_its_flags_or_stops()
  gnu = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno -fno-tree-sink', ...
         'CXXOPTIMFLAGS=-O3 -DNDEBUG'};
  clang = {strrep(gnu{1}, ' -fno-tree-sink', ''), gnu{2}};
  msvc = {'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:precise'};
  cfg = @(name, short, maker, ver) struct('Name', name, 'ShortName', short, 'Manufacturer', maker, 'Version', ver);
  vs2017 = cfg('Microsoft Visual C++ 2017', 'MSVCPP150', 'Microsoft', '15.0');
  mingw = {'MinGW64 Compiler (C++)', 'mingw64-g++', 'GNU'};
  too_old = 'build_mex:compilerTooOld';
  % configuration MATLAB reports (none selected: empty), error mex raises, then
  % the flags mex gets, or the error build_mex raises and a part of its message
  cases = {cfg('g++', 'g++', 'GNU', '7.5.0'), {}, gnu; ...
           cfg('g++', 'g++', 'GNU', '10'), {}, gnu; ...
           cfg('Xcode Clang++', 'Clang++', 'Apple', '10.0.0'), {}, clang; ...
           vs2017, {}, msvc; ...
           cfg(mingw{:}, '8.1.0'), {}, gnu; ...
           cfg('g++', 'g++', 'GNU', '6.3.0'), {}, {too_old, 'g++ 6.3.0'}; ...
           cfg('Xcode Clang++', 'Clang++', 'Apple', '9.4.1'), {}, {too_old, 'Xcode 10'}; ...
           cfg('Microsoft Visual C++ 2015', 'MSVCPP140', 'Microsoft', '14.0'), {}, {too_old, 'C++ 2015 14.0'}; ...
           cfg(mingw{:}, '7.3.0'), {}, {too_old, 'MinGW-w64 8'}; ...
           vs2017, {'mex:failed', 'portability.hpp(25): fatal error C1189: #error:  The kernels need C++17: VS'}, ...
           {too_old, 'C++ 2017 15.0 cannot build inner_edge_strong_rhs. The kernels need C++17: VS'}; ...
           vs2017, {'mex:failed', 'syntax error'}, {'build_mex:compileFailed', 'Compiling inner_edge_strong_rhs'}; ...
           cfg('Intel oneAPI 2021 for C++ with Microsoft Visual Studio 2019', 'INTELCPP21MSVCPP160', 'Intel', '2021'), ...
           {}, {'build_mex:unsupportedCompiler', 'Intel'}; ...
           struct([]), {}, {'build_mex:noCompiler', 'mex -setup C++'}};
  here = fileparts(mfilename('fullpath'));
  root = fileparts(fileparts(here));
  frame = fullfile(root, 'frame');
  frame_sources = dir(fullfile(frame, '*.cpp'));
  frame_sources = cellfun(@(f) fullfile(frame, f), {frame_sources.name}, 'UniformOutput', false);
  % build_mex, called from the root, stubs first on the path, takes MATLAB's branch.
  global build_mex_stub
  warnings = warning('off', 'Octave:shadowed-function');
  addpath(fullfile(here, 'build_mex_stubs'));
  setappdata(0, 'build_mex_host', 'matlab');
  old = cd(root);
  cleanup = onCleanup(@() restore(fullfile(here, 'build_mex_stubs'), warnings, old)); %#ok<NASGU>
  for c = 1:size(cases, 1)
    build_mex_stub = struct('config', {cases{c, 1}}, 'failure', {cases{c, 2}}, 'calls', {{}});
    try
      evalc('build_mex(''wet_dry_face_1d'', ''inner_edge_strong_rhs'')');
      failure = {};
    catch err
      failure = {err.identifier, err.message};
    end
    if strncmp(cases{c, 3}{1}, 'build_mex:', 10)
      assert(numel(failure) == 2 && strcmp(failure{1}, cases{c, 3}{1}), 'case %d: %s', c, strjoin(failure, ' '));
      assert(~isempty(strfind(failure{2}, cases{c, 3}{2})), 'case %d: %s', c, failure{2});
      continue;
    end
    assert(isempty(failure) && numel(build_mex_stub.calls) == 2, 'case %d: %s', c, strjoin(failure, ' '));
    for k = 1:2
      args = build_mex_stub.calls{k};
      source = args{find(strcmp(args, '-outdir')) + 2};
      [folder, name] = fileparts(source);
      blas = ~isempty(regexp(fileread(fullfile(root, 'modules.txt')), ['\n' name '\s+\S+\s+blas'], 'once'));
      expected = [{'-largeArrayDims', '-DKERNELS_USE_HOST_MEX_H', ['-I"' frame '"']}, cases{c, 3}, ...
                  {'-outdir', folder, source}, frame_sources, repmat({'-lmwblas'}, 1, blas)];
      assert(isequal(args, expected), 'case %d %s: mex got %s', c, name, strjoin(args, ' '));
    end
  end
end

function restore(stubs, warnings, old)
  cd(old);
  rmappdata(0, 'build_mex_host');
  rmpath(stubs);
  clear mex
  clear -global build_mex_stub
  warning(warnings);
end
