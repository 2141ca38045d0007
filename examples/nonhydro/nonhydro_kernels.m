function kernels = nonhydro_kernels()
% NONHYDRO_KERNELS  Handles to the modules the non-hydrostatic step calls, each
% taken inside the private folder of its class (read from modules.txt): a
% handle keeps its binding after the folder is left.
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  text = fileread(fullfile(root, 'modules.txt'));
  names = {'upwind_flux_2d', 'nonhydro_vertical_volume_flux', 'nonhydro_vertical_face_flux', ...
           'downwind_flux_2d', 'boundary_type', ...
           'boundary_primitive_flux', 'penalty_parameter', ...
           'inner_edge_strong_rhs'};
  kernels = struct();
  for i = 1:numel(names)
    row = regexp(text, ['(?m)^' names{i} '\s+(\S+)'], 'tokens', 'once');
    folder = fullfile(root, row{1});
    old = cd(folder);
    found = exist(names{i}, 'file');
    kernels.(names{i}) = str2func(names{i});
    cd(old);
    if ~found
      error('nonhydro:moduleMissing', 'Module %s is not built in %s; run build_mex first.', names{i}, folder);
    end
  end
end
