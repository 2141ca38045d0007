function build_mex(varargin)
% BUILD_MEX  Compile every kernel module that has a source, in place.
%
%   build_mex            builds all modules listed in modules.txt whose source
%                        exists, each into its own private/ folder;
%   build_mex(name, ...) builds only the named modules.
%
% Run it from the repository root inside MATLAB or GNU Octave. Under Octave the
% modules are .mex files built with mkoctfile; under MATLAB the platform's MEX
% extension, built with mex. The kernel frame is compiled into every module,
% with the same floating-point flags as the CMake build: no fused multiply-add,
% no fast-math, no errno from sqrt (so that its loops vectorise).

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
  is_octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;

  built = 0;
  for m = modules
    source = fullfile(root, m.folder, [m.name '.cpp']);
    if ~exist(source, 'file')
      continue;
    end
    out_dir = fullfile(root, m.folder);
    if is_octave
      [status, output] = build_with_octave(m, source, frame_sources, frame_dir, out_dir);
    else
      [status, output] = build_with_matlab(m, source, frame_sources, frame_dir, out_dir);
    end
    if status ~= 0
      fprintf('%s\n', output);
      error('build_mex:compileFailed', 'Compiling %s failed (see the compiler output above).', m.name);
    end
    fprintf('built %-30s %s\n', m.name, m.folder);
    built = built + 1;
  end
  fprintf('build_mex: %d modules built\n', built);
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
  % MATLAB: mex with the large-array (64-bit size) interface; the modules that
  % multiply by the mass matrix link MATLAB's 64-bit-integer BLAS.
  args = {'-largeArrayDims', '-DKERNELS_USE_HOST_MEX_H', ['-I' frame_dir], ...
          'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math -fno-math-errno', ...
          'CXXOPTIMFLAGS=-O3 -DNDEBUG', '-outdir', out_dir, source, frame_sources{:}};
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
