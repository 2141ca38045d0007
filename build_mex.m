function build_mex(varargin)
% BUILD_MEX  Compile every kernel module that has a source, in place.
%
%   build_mex            builds all modules listed in modules.txt whose source
%                        exists, each into its own private/ folder;
%   build_mex(name, ...) builds only the named modules.
%
% Run it from the repository root inside MATLAB or GNU Octave. Under Octave the
% modules are .mex files built with mkoctfile; under MATLAB the platform's MEX
% extension, built with mex and the C++ compiler selected by mex -setup C++:
% GCC 7 or newer, Xcode 10 or newer, Visual Studio 2017 15.7 or newer, or
% MinGW-w64 8 or newer (the kernels are C++17). The kernel frame is compiled
% into every module, with the same floating-point flags as the CMake build: no
% fused multiply-add, no fast-math, no errno from sqrt (so that its loops
% vectorise). Each module's source compiles here as one unit; the CMake build
% splits an edge module's source into three units (KERNELS_EDGE_UNIT) that
% build in parallel, with the same code.

  root = fileparts(mfilename('fullpath'));
  modules = read_module_list(fullfile(root, 'modules.txt'));
  if nargin > 0
    keep = ismember({modules.name}, varargin);
    unknown = setdiff(varargin, {modules.name});
    if ~isempty(unknown)
      error('build_mex:unknownModule', 'No module named %s.', strjoin(unknown, ', '));
    end
    modules = modules(keep);
  end

  frame_dir = fullfile(root, 'frame');
  frame_sources = dir(fullfile(frame_dir, '*.cpp'));
  frame_sources = cellfun(@(f) fullfile(frame_dir, f), {frame_sources.name}, 'UniformOutput', false);
  with_matlab = builds_with_matlab();
  if with_matlab
    compiler = selected_compiler();  % stops here if MATLAB has no usable compiler
    % Windows locks a loaded module's file: unload the modules before
    % overwriting them.
    clear mex
  end

  built = 0;
  for m = modules
    source = fullfile(root, m.folder, [m.name '.cpp']);
    if ~exist(source, 'file')
      continue;
    end
    out_dir = fullfile(root, m.folder);
    if with_matlab
      [status, output] = build_with_matlab(m, source, frame_sources, frame_dir, out_dir);
    else
      [status, output] = build_with_octave(m, source, frame_sources, frame_dir, out_dir);
    end
    if status ~= 0
      fprintf('%s\n', output);
      % The frame stops a compiler without the C++17 it needs with this line,
      % which mex returns with the rest of the compiler's output.
      too_old = regexp(output, 'The kernels need C\+\+17: [^"\r\n]*', 'match', 'once');
      if with_matlab && ~isempty(too_old)
        error('build_mex:compilerTooOld', '%s cannot build %s. %s', compiler.name, m.name, too_old);
      end
      error('build_mex:compileFailed', 'Compiling %s failed (see the compiler output above).', m.name);
    end
    fprintf('built %-30s %s\n', m.name, m.folder);
    built = built + 1;
  end
  fprintf('build_mex: %d modules built\n', built);
end

function with_matlab = builds_with_matlab()
  % MATLAB builds with mex, Octave with mkoctfile. The Octave suite runs the
  % MATLAB branch against stubs of mex by setting the root application data
  % 'build_mex_host' to 'matlab'.
  with_matlab = exist('OCTAVE_VERSION', 'builtin') == 0 || ...
                strcmp(getappdata(0, 'build_mex_host'), 'matlab');
end

function modules = read_module_list(path)
  % modules.txt: one module a line, "name folder links"; '#' starts a comment.
  text = fileread(path);
  lines = regexp(text, '\n', 'split');
  modules = struct('name', {}, 'folder', {}, 'blas', {});
  for i = 1:numel(lines)
    line = strtrim(lines{i});
    if isempty(line) || line(1) == '#'
      continue;
    end
    fields = regexp(line, '\s+', 'split');
    modules(end + 1) = struct('name', fields{1}, 'folder', fields{2}, ...
                              'blas', strcmp(fields{3}, 'blas')); %#ok<AGROW>
  end
end

function [status, output] = build_with_octave(m, source, frame_sources, frame_dir, out_dir)
  % Octave: mkoctfile --mex, with the flags passed through the environment.
  % No module links a BLAS: the edge modules multiply by the mass matrix with
  % the frame's own product.
  flags = '-O3 -ffp-contract=off -fno-fast-math -fno-tree-sink -fno-math-errno -std=c++17 -fPIC';
  old_flags = getenv('CXXFLAGS');
  setenv('CXXFLAGS', flags);
  cleanup = onCleanup(@() setenv('CXXFLAGS', old_flags));
  args = {'--mex', '-DKERNELS_USE_HOST_MEX_H', ['-I' frame_dir], ...
          '-o', fullfile(out_dir, [m.name '.mex']), source, frame_sources{:}};
  [output, status] = mkoctfile(args{:});
end

function [status, output] = build_with_matlab(m, source, frame_sources, frame_dir, out_dir)
  % MATLAB: mex with the large-array (64-bit size) interface; a module marked
  % blas in modules.txt links MATLAB's 64-bit-integer BLAS (none is: the edge
  % modules multiply by the mass matrix with the frame's own product). GCC, Clang
  % and MinGW-w64 read their options from CXXFLAGS and CXXOPTIMFLAGS, MSVC
  % from COMPFLAGS (keeping MATLAB's /O2); MSVC keeps contraction off by a
  % pragma in the frame, and builds for SSE2, which has no FMA. The include
  % folder is quoted for a path with spaces.
  compiler = selected_compiler();
  switch compiler.family
    case 'msvc'
      flags = {'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:precise'};
    case 'clang'
      flags = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno', ...
               'CXXOPTIMFLAGS=-O3 -DNDEBUG'};
    otherwise
      flags = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno -fno-tree-sink', ...
               'CXXOPTIMFLAGS=-O3 -DNDEBUG'};
  end
  args = [{'-largeArrayDims', '-DKERNELS_USE_HOST_MEX_H', ['-I"' frame_dir '"']}, flags, ...
          {'-outdir', out_dir, source}, frame_sources];
  if m.blas
    args{end + 1} = '-lmwblas';
  end
  try
    output = evalc('mex(args{:})');
    status = 0;
  catch err
    output = err.message;
    status = 1;
  end
end

function compiler = selected_compiler()
  % The C++ compiler MATLAB's mex will use: its family, which decides how the
  % flags are passed, checked against the oldest version with C++17.
  configs = feval('mex.getCompilerConfigurations', 'C++', 'Selected');
  if isempty(configs)
    error('build_mex:noCompiler', 'MATLAB has no C++ compiler selected; choose one with mex -setup C++.');
  end
  config = configs(1);
  compiler.name = strtrim(sprintf('%s %s', config.Name, config.Version));
  what = lower([config.Name ' ' config.ShortName ' ' config.Manufacturer]);
  % family, words that identify it, oldest major version, its name
  families = {'mingw', {'mingw'},                       8,  'MinGW-w64 8'; ...
              'msvc',  {'microsoft', 'msvc', 'visual'}, 15, 'Visual Studio 2017 15.7'; ...
              'clang', {'clang', 'xcode', 'apple'},     10, 'Xcode 10'; ...
              'gcc',   {'g++', 'gnu'},                  7,  'GCC 7'};
  compiler.family = '';
  for f = 1:size(families, 1)
    if any(cellfun(@(word) ~isempty(strfind(what, word)), families{f, 2}))
      [compiler.family, oldest, oldest_name] = families{f, [1 3 4]};
      break;
    end
  end
  % Intel's compilers default to a fast floating-point model.
  if isempty(compiler.family) || ~isempty(strfind(what, 'intel'))
    error('build_mex:unsupportedCompiler', ...
          'The selected C++ compiler, %s, is not one build_mex knows how to pass its floating-point flags to; choose GCC, Clang (Xcode), Visual Studio or MinGW-w64 with mex -setup C++.', ...
          compiler.name);
  end
  % Only the major version is compared: Visual Studio reports 15.0 for every
  % 2017 release, and the frame itself stops MSVC older than 19.14 (2017
  % 15.7), as it stops any compiler whose version MATLAB does not report.
  major = sscanf(config.Version, '%d', 1);
  if ~isempty(major) && major < oldest
    error('build_mex:compilerTooOld', ...
          'The selected C++ compiler, %s, is too old: the kernels are C++17 and need %s or newer (mex -setup C++ selects another).', ...
          compiler.name, oldest_name);
  end
end
