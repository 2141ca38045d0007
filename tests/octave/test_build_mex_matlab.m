function tests = test_build_mex_matlab()
  tests = {@passes_each_compiler_its_flags_or_stops};
end

% build_mex's MATLAB branch, run in Octave against stubs of mex and
% mex.getCompilerConfigurations that record what they are given.
function passes_each_compiler_its_flags_or_stops()
  gnu = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno -fno-tree-sink', ...
         'CXXOPTIMFLAGS=-O3 -DNDEBUG'};
  clang = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno', ...
           'CXXOPTIMFLAGS=-O3 -DNDEBUG'};
  msvc = {'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:precise'};
  vs2017 = {'Microsoft Visual C++ 2017', 'MSVCPP150', 'Microsoft', '15.0'};
  mingw = {'MinGW64 Compiler (C++)', 'mingw64-g++', 'GNU'};
  too_old = 'build_mex:compilerTooOld';
  % configuration as MATLAB reports it (Name, ShortName, Manufacturer,
  % Version; {} for none selected), the error the stub mex raises, then the
  % flags mex must get, or the error build_mex must stop with and a part of
  % its message
  cases = {{'g++', 'g++', 'GNU', '7.5.0'}, {}, gnu; ...
           {'g++', 'g++', 'GNU', '10'}, {}, gnu; ...
           {'Xcode Clang++', 'Clang++', 'Apple', '10.0.0'}, {}, clang; ...
           vs2017, {}, msvc; ...
           {'Microsoft Visual C++ 2022', 'MSVCPP170', 'Microsoft', '17.0'}, {}, msvc; ...
           [mingw, '8.1.0'], {}, gnu; ...
           {'g++', 'g++', 'GNU', '6.3.0'}, {}, {too_old, 'g++ 6.3.0'}; ...
           {'Xcode Clang++', 'Clang++', 'Apple', '9.4.1'}, {}, {too_old, 'Xcode 10'}; ...
           {'Microsoft Visual C++ 2015', 'MSVCPP140', 'Microsoft', '14.0'}, {}, {too_old, 'C++ 2015 14.0'}; ...
           [mingw, '6.3.0'], {}, {too_old, 'MinGW-w64 8'}; ...
           vs2017, {'mex:failed', 'portability.hpp(25): fatal error C1189: #error:  The kernels need C++17: VS'}, ...
           {too_old, 'need C++17: VS'}; ...
           vs2017, {'mex:failed', 'syntax error'}, {'build_mex:compileFailed', 'Compiling inner_edge_strong_rhs'}; ...
           {'Intel oneAPI 2021 for C++ with Microsoft Visual Studio 2019', 'INTELCPP21MSVCPP160', 'Intel', '2021'}, ...
           {}, {'build_mex:unsupportedCompiler', 'Intel'}; ...
           {}, {}, {'build_mex:noCompiler', 'mex -setup C++'}};
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  frame = fullfile(root, 'frame');
  frame_sources = dir(fullfile(frame, '*.cpp'));
  frame_sources = cellfun(@(f) fullfile(frame, f), {frame_sources.name}, 'UniformOutput', false);
  cleanup = stub_mex(root); %#ok<NASGU>
  global build_mex_stub
  for c = 1:size(cases, 1)
    config = struct('Name', {}, 'ShortName', {}, 'Manufacturer', {}, 'Version', {});
    if ~isempty(cases{c, 1})
      config(1) = cell2struct(cases{c, 1}(:), fieldnames(config));
    end
    build_mex_stub = struct('config', {config}, 'failure', {cases{c, 2}}, 'calls', {{}});
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
      expected = [{'-largeArrayDims', '-DKERNELS_USE_HOST_MEX_H', ['-I"' frame '"']}, cases{c, 3}, ...
                  {'-outdir', folder, source}, frame_sources, repmat({'-lmwblas'}, 1, strcmp(name, 'inner_edge_strong_rhs'))];
      assert(isequal(args, expected), 'case %d %s: mex got %s', c, name, strjoin(args, ' '));
    end
  end
end

function cleanup = stub_mex(root)
  % A folder on the front of the path with mex.m and
  % +mex/getCompilerConfigurations.m, both working through one global, and
  % build_mex, called from the root, told to take MATLAB's branch.
  stubs = tempname();
  mkdir(fullfile(stubs, '+mex'));
  write_file(fullfile(stubs, 'mex.m'), ...
             {'function mex(varargin)', '  global build_mex_stub', '  build_mex_stub.calls{end + 1} = varargin;', ...
              '  if ~isempty(build_mex_stub.failure)', '    error(build_mex_stub.failure{:});', '  end', 'end'});
  write_file(fullfile(stubs, '+mex', 'getCompilerConfigurations.m'), ...
             {'function config = getCompilerConfigurations(language, which)', '  global build_mex_stub', ...
              '  assert(strcmp(language, ''C++'') && strcmp(which, ''Selected''));', ...
              '  config = build_mex_stub.config;', 'end'});
  warnings = warning('off', 'Octave:shadowed-function');
  addpath(stubs);
  setappdata(0, 'build_mex_host', 'matlab');
  old = cd(root);
  cleanup = onCleanup(@() restore(stubs, warnings, old));
end

function write_file(path, lines)
  fid = fopen(path, 'w');
  fprintf(fid, '%s\n', lines{:});
  fclose(fid);
end

function restore(stubs, warnings, old)
  cd(old);
  rmappdata(0, 'build_mex_host');
  rmpath(stubs);
  confirm_recursive_rmdir(false, 'local');
  rmdir(stubs, 's');
  clear mex
  clear -global build_mex_stub
  warning(warnings);
end
