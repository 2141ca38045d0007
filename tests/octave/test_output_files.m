function tests = test_output_files()
  % The solvers' NetCDF and VTK files read back by tools this project did
  % not write (ncdump, Python's netCDF4 and VTK): conventions and mesh
  % attributes, the state to the last bit at one time, VTK's cell types and
  % point order, a run ending in an error leaving what it wrote, bad output
  % options stopped before any work; the solver's options checked the same
  % way; a relative path to the library kept on the load path; the 3d
  % solver's layers.
  tests = {@bowl_files_read_back, @error_run_keeps_records, @bad_options_stop_early, ...
           @relative_library_path, @line_and_prism_grids_read_back, @layered_run_read_back};
end

function folder = scratch()
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  addpath(fullfile(root, 'examples', 'dg2d'));
  addpath(fullfile(root, 'examples', 'common'));
  folder = tempname();
  mkdir(folder);
end

function read_back(varargin)
  % output_read_back.py with the arguments; the last is the expected values.
  expected = [tempname() '.bin'];
  fid = fopen(expected, 'w', 'ieee-le');
  fwrite(fid, varargin{end}, 'double');
  fclose(fid);
  script = fullfile(fileparts(mfilename('fullpath')), 'output_read_back.py');
  words = cellfun(@num2str, varargin(1:end - 1), 'UniformOutput', false);
  [status, text] = system(sprintf('/usr/bin/python3 %s %s %s 2>&1', script, strjoin(words, ' '), expected));
  delete(expected);
  assert(status == 0, '%s: %s', strjoin(words, ' '), text);
end

function [r, mesh, out] = bowl_run(N, folder, varargin)
  % Thacker's bowl on 2 x 2 cells for 0.3 s, files every 0.1 s.
  mesh = dg2d_mesh(dg2d_rectangle([-2, 2], [-2, 2], 2, 2), N);
  [h, hu, hv, z] = dg2d_thacker(mesh.x, mesh.y, 0, 1, 0.1, 0.5, 9.81);
  out = fullfile(folder, sprintf('bowl_p%d', N));
  opt = dg2d_options('finalTime', 0.3, 'outputTimes', 0.2, 'output', ...
                     struct('netcdf', [out '.nc'], 'vtk', out, 'every', 0.1), varargin{:});
  r = dg2d_solve(mesh, cat(3, h, hu, hv), z, opt);
end

function bowl_files_read_back()
  folder = scratch();
  for N = [1, 2]
    [r, mesh, out] = bowl_run(N, folder);
    h = r.outputs{1}(:, :, 1);
    read_back('nc', [out '.nc'], 'h', 2, h(:));
    vtkOrder = {[1; 2; 3], [1; 3; 6; 2; 5; 4]};
    read_back('vtu', [out '_0002.vtu'], 'h', 5 + 64 * (N > 1), mesh.K, h(vtkOrder{N}, :)(:));
  end
  [~, header] = system(['ncdump -h ' out '.nc']);
  for line = {':Conventions = "CF-1.8 UGRID-1.0"', 'mesh:cf_role = "mesh_topology"', ...
              'mesh:topology_dimension = 2', 'mesh:face_node_connectivity = "face_nodes"', ...
              'face_nodes:start_index = 0', 'int face_nodes(face, max_face_nodes)', ...
              sprintf('face = %d', 4 * mesh.K), 'time:units = "seconds since', ...
              'time = UNLIMITED ; // (4 currently)', 'eta:standard_name = "sea_surface_height_above_geoid"', ...
              'h_mean:location = "face"', 'h_mean:mesh = "mesh_elements"'}
    assert(~isempty(strfind(header, line{1})), 'ncdump -h lacks %s', line{1});
  end
  % Sub-triangles counter-clockwise, the collection lists every time.
  faces = ncread([out '.nc'], 'face_nodes') + 1;
  x = ncread([out '.nc'], 'node_x');
  y = ncread([out '.nc'], 'node_y');
  area = (x(faces(2, :)) - x(faces(1, :))) .* (y(faces(3, :)) - y(faces(1, :))) - ...
         (x(faces(3, :)) - x(faces(1, :))) .* (y(faces(2, :)) - y(faces(1, :)));
  assert(all(area > 0) && abs(sum(area) / 2 - 16) < 1e-12, 'sub-triangles: area %g', sum(area) / 2);
  pvd = fileread([out '.pvd']);
  assert(numel(strfind(pvd, '<DataSet ')) == 4 && ~isempty(strfind(pvd, 'timestep="0.29999999999999999"')), ...
         'collection: %s', pvd);
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end

function error_run_keeps_records()
  % Stopped by maxSteps after the second record: both stay readable.
  folder = scratch();
  err = [];
  try
    bowl_run(1, folder, 'maxSteps', 3);
  catch err
  end
  assert(~isempty(err) && strcmp(err.identifier, 'dg2d_solve:tooManySteps'), 'no tooManySteps error');
  times = ncread(fullfile(folder, 'bowl_p1.nc'), 'time');
  assert(isequal(times(:)', [0, 0.1]), 'records at %s', mat2str(times));
  h = ncread(fullfile(folder, 'bowl_p1.nc'), 'h');
  assert(isequal(size(h), [24, 2]) && all(h(:) >= 0), 'h is %s', mat2str(size(h)));
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end

function bad_options_stop_early()
  folder = scratch();
  mesh = dg2d_mesh(dg2d_rectangle([-2, 2], [-2, 2], 1, 1), 1);
  z = 0 * mesh.x;
  q = cat(3, 1 + z, z, z);
  cases = {{'cfl', -1}, 'dg2d_options:cfl'; {'flux', 'roe'}, 'dg2d_options:flux'; ...
           {'gravity', NaN}, 'dg2d_options:gravity'; {'outputTimes', 2}, 'dg2d_options:outputTimes'; ...
           {'output', struct('netcdf', fullfile(folder, 'none', 'a.nc'))}, 'output_options:unwritable'; ...
           {'output', struct('vtk', 'a', 'every', 0)}, 'output_options:every'; ...
           {'output', struct('nc', 'a.nc')}, 'output_options:unknownField'};
  for i = 1:size(cases, 1)
    try
      dg2d_options(cases{i, 1}{:});
      error('test:accepted', '%s accepted', cases{i, 2});
    catch err
      assert(strcmp(err.identifier, cases{i, 2}), '%s: got %s (%s)', cases{i, 2}, err.identifier, err.message);
    end
  end
  % Times checked against the run, fields changed after dg2d_options too:
  % no file is made.
  file = fullfile(folder, 'late.nc');
  opt = dg2d_options('output', struct('netcdf', file, 'times', [0, 1.5]));
  solves = {opt, setfield(dg2d_options(), 'cfl', 0)};
  ids = {'output_options:timesOutsideRun', 'dg2d_solve:cfl'};
  for i = 1:2
    try
      dg2d_solve(mesh, q, z, solves{i});
      error('test:accepted', '%s accepted', ids{i});
    catch err
      assert(strcmp(err.identifier, ids{i}), '%s: got %s', ids{i}, err.identifier);
    end
  end
  assert(~exist(file, 'file'), 'a file was made');
  % Without the netcdf package (none in the package lists of a fresh Octave).
  command = sprintf(['pkg global_list %s; pkg local_list %s; addpath %s; ' ...
                     'try, dg2d_options(''output'', struct(''netcdf'', ''%s'')); catch e, disp(e.identifier), end'], ...
                    fullfile(folder, 'g'), fullfile(folder, 'l'), fileparts(which('dg2d_options')), file);
  [~, text] = system(sprintf('octave-cli --no-gui --no-init-file --quiet --eval "%s" 2>&1', command));
  assert(~isempty(strfind(text, 'output_netcdf_api:missing')), 'without the package: %s', text);
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end

function relative_library_path()
  % From the repository root (where the suite runs), as the README says.
  scratch();
  rmpath(fullfile(pwd(), 'examples', 'dg2d'));
  addpath(fullfile('examples', 'dg2d'));
  lastwarn('');
  opt = dg2d_options('finalTime', 0);
  [message, id] = lastwarn();
  assert(isempty(message), 'warning %s: %s', id, message);
  assert(exist('dg2d_solve', 'file') == 2, 'examples/dg2d left the path');
  addpath(fullfile(pwd(), 'examples', 'dg2d'));
end

function line_and_prism_grids_read_back()
  % A 1d P2 mesh on Gauss-Lobatto nodes (values interpolated to VTK's
  % equidistant points), and prisms of a P2 triangle mesh stacked in two
  % layers of three vertical nodes, under flat water.
  folder = scratch();
  r = [-1; -1 / sqrt(5); 1 / sqrt(5); 1];
  x = [0, 1] + (r + 1) / 2;
  grid = output_grid_lines(x, r, [1; 5; 5; 1] / 12);
  w = output_open(struct('netcdf', fullfile(folder, 'line.nc'), 'vtk', fullfile(folder, 'line'), ...
                         'times', 0), 0, grid, 0 * x, struct('nodal', {{'h'}}), ...
                  struct('title', 'line', 'source', 'test'));
  w = output_write(w, 0, struct('h', x .^ 2));
  points = [0; 3; 1; 2] / 3 + [0, 1];
  read_back('vtu~', fullfile(folder, 'line_0000.vtu'), 'h', 68, 2, points(:) .^ 2);
  mesh = dg2d_mesh(dg2d_rectangle([0, 2], [0, 1], 2, 1), 2);
  prism = struct('x', mesh.x, 'y', mesh.y, 'N', 2, 'sigma', [-1, -0.5; -0.75, -0.25; -0.5, 0]);
  grid = output_grid_prisms(prism);
  u = reshape(1:grid.Np * 3 * 2 * mesh.K, grid.Np, 3, 2, mesh.K) / 7;
  w = output_open(struct('netcdf', fullfile(folder, 'prism.nc'), 'vtk', fullfile(folder, 'prism'), ...
                         'times', 0), 0, grid, -2 + 0 * mesh.x, ...
                  struct('nodal', {{'h', 'eta'}}, 'layered', {{'u'}}), struct('title', 'p', 'source', 'test'));
  w = output_write(w, 0, struct('h', 2 + 0 * mesh.x, 'eta', 0 * mesh.x, 'u', u));
  u = reshape(u, grid.Np * 3, []);
  read_back('vtu', fullfile(folder, 'prism_0000.vtu'), 'u', 73, 2 * mesh.K, u(grid.vtkOrder, :)(:));
  read_back('nc', fullfile(folder, 'prism.nc'), 'u', 0, reshape(permute(reshape(u, grid.Np, 3, 2, mesh.K), ...
                                                                        [1, 4, 2, 3]), [], 1));
  [~, header] = system(['ncdump -h ' fullfile(folder, 'prism.nc')]);
  assert(~isempty(strfind(header, 'sigma:formula_terms = "sigma: sigma eta: eta depth: depth"')), ...
         'no formula terms: %s', header);
  [~, header] = system(['ncdump -h ' fullfile(folder, 'line.nc')]);
  assert(~isempty(strfind(header, 'mesh:topology_dimension = 1')) && ...
         ~isempty(strfind(header, 'mesh:edge_node_connectivity = "edge_nodes"')), 'line mesh: %s', header);
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end

function layered_run_read_back()
  % Wind over a 3d basin: P1 triangles, two layers of three Gauss-Lobatto
  % nodes (VTK's points of order-2 wedges, interpolated across the
  % triangle). The sigma of the file runs from -1 at the bed to 0.
  folder = scratch();
  addpath(fullfile(fileparts(fileparts(fileparts(mfilename('fullpath')))), 'examples', 'dg3d'));
  out = fullfile(folder, 'wind');
  mesh = dg3d_mesh(dg2d_rectangle([0, 10], [0, 1], 2, 1), 1, 2, 2, 1);
  state = struct('eta', zeros(mesh.Np2, mesh.K2), 'u', zeros(mesh.Np, mesh.K, 2));
  opt = dg3d_options('nu', 0.05, 'windStress', [0.1, 0.05], 'finalTime', 2, ...
                     'output', struct('netcdf', [out '.nc'], 'vtk', out, 'times', [1, 2]));
  state = dg3d_solve(mesh, state, opt, dg3d_kernels('modules'));
  [~, header] = system(['ncdump -v sigma ' out '.nc']);
  for line = {'sigma:standard_name = "ocean_sigma_coordinate"', 'u:standard_name = "sea_water_x_velocity"', ...
              'sigma:formula_terms = "sigma: sigma eta: eta depth: depth"', 'double v(time, level, node)', ...
              'sigma = -1, -0.75, -0.5, -0.5, -0.25, 0 ;'}
    assert(~isempty(strfind(header, line{1})), 'ncdump lacks %s', line{1});
  end
  v = reshape(state.u(:, :, 2), mesh.Np2, mesh.Np1, mesh.L, mesh.K2);
  read_back('nc', [out '.nc'], 'v', 1, reshape(permute(v, [1, 4, 2, 3]), [], 1));
  % VTK's wedge of order 2: corners, triangle edges (bottom, top), the
  % middle level's vertices, the side faces' centres; node i + 3 (j - 1).
  pairs = [1 2 3 7 8 9 1 2 3 7 8 9 4 5 6 4 5 6; 1 2 3 7 8 9 2 3 1 8 9 7 4 5 6 5 6 4];
  u = state.u(:, :, 1);
  read_back('vtu~', [out '_0001.vtu'], 'u', 73, mesh.K, ((u(pairs(1, :), :) + u(pairs(2, :), :)) / 2)(:));
  % Output times outside the run: no file, no work.
  try
    dg3d_solve(mesh, state, setfield(opt, 'output', struct('netcdf', [out '2.nc'], 'times', 3)), []);
    error('test:accepted', 'times outside the run accepted');
  catch err
    assert(strcmp(err.identifier, 'output_options:timesOutsideRun') && ~exist([out '2.nc'], 'file'), err.message);
  end
  confirm_recursive_rmdir(false, 'local');
  rmdir(folder, 's');
end
