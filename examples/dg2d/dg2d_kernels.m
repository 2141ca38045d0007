function kernels = dg2d_kernels(variant, names)
% DG2D_KERNELS  Handles to the modules the 2d solver calls, in a struct
% with one field per module name.
%
% names, optional: the modules to load (a cell array of module names); by
% default those of the hydrostatic right-hand side, the step and the mesh
% joining.
%
% dg2d_kernels() or dg2d_kernels('modules'): the compiled modules of the
% private folders of their classes, each called through a link
% module_<name> in a folder of links at the end of the load path (see
% module_handle below).
% dg2d_kernels('plain'): the plain Octave forms (the <module>.m beside each
% module's source, with their shared checks in mframe/) of the modules the
% right-hand side and the step call, each copied into a folder of its own so
% that the compiled module in the private folder does not shadow it;
% mesh_connection, called once when meshes are joined, stays compiled.
  if nargin < 1
    variant = 'modules';
  end
  if nargin < 2
    names = {'prebalance_volume_flux_2d', 'face_flux_2d', 'time_interval_3d', ...
             'inner_edge_strong_rhs', 'mesh_connection'};
  end
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  % Folders added to the path by a relative name would be lost at the cd below.
  addpath(fullfile(root, 'examples', 'common'));
  path_absolute();
  text = fileread(fullfile(root, 'modules.txt'));
  kernels = struct();
  for i = 1:numel(names)
    row = regexp(text, ['(?m)^' names{i} '\s+(\S+)'], 'tokens', 'once');
    folder = fullfile(root, row{1});
    switch variant
      case 'modules'
        kernels.(names{i}) = module_handle(root, folder, names{i});
      case 'plain'
        if strcmp(names{i}, 'mesh_connection')
          kernels.(names{i}) = module_handle(root, folder, names{i});
          continue;
        end
        addpath(fullfile(root, 'mframe'));
        source = fullfile(folder, [names{i} '.m']);
        if ~exist(source, 'file')
          error('dg2d_kernels:plainMissing', 'No plain Octave form %s.', source);
        end
        copy = fullfile(tempdir(), ['dg2d_plain_' names{i}]);
        if ~exist(copy, 'dir')
          mkdir(copy);
        end
        copyfile(source, copy);
        kernels.(names{i}) = handle_in(copy, names{i}, 2, 'the copy failed');
      otherwise
        error('dg2d_kernels:variant', 'Unknown variant %s (modules or plain).', variant);
    end
  end
end

function handle = module_handle(root, folder, name)
  % Handle to the compiled module name of folder (a class's private folder).
  % Octave looks a private function up again at every call once the load
  % path has changed after the function was loaded (any addpath does it),
  % which costs 6 to 8 ms a call for the rest of the session; a function on
  % the load path is looked up once. So the handle goes to module_<name>, a
  % link to the module in a folder of links under the temporary folder,
  % named after this checkout and kept at the end of the path. (The prefix
  % keeps the plain forms, which have the modules' names, from being
  % shadowed.) MATLAB keeps the handle taken inside the private folder.
  if ~exist('OCTAVE_VERSION', 'builtin')
    handle = handle_in(folder, name, 3, 'build_mex first');
    return;
  end
  file = [name '.' mexext()];
  if ~exist(fullfile(folder, file), 'file')
    error('dg2d_kernels:moduleMissing', 'Module %s is not in %s; build_mex first.', name, folder);
  end
  links = fullfile(tempdir(), ['dg2d_modules' regexprep(root, '[^A-Za-z0-9]', '_')]);
  if ~exist(links, 'dir')
    mkdir(links);
  end
  link = fullfile(links, ['module_' file]);
  if ~exist(link, 'file')
    % (A link left dangling by an earlier checkout is replaced.)
    [~] = unlink(link);
    if symlink(fullfile(folder, file), link) ~= 0 && ~exist(link, 'file')
      error('dg2d_kernels:moduleLink', 'Cannot link %s into %s.', file, links);
    end
  end
  if ~any(strcmp(strsplit(path(), pathsep), links))
    addpath(links, '-end');
  end
  handle = str2func(['module_' name]);
end

function handle = handle_in(folder, name, kind, remedy)
  % kind: what exist() must find, 3 a compiled module (not the plain form
  % beside it), 2 an M file.
  old = cd(folder);
  found = exist(name, 'file') == kind;
  handle = str2func(name);
  cd(old);
  if ~found
    error('dg2d_kernels:moduleMissing', 'Module %s is not in %s; %s.', name, folder, remedy);
  end
end
