function writer = output_open(output, finalTime, grid, z, names, meta)
% OUTPUT_OPEN  Start the output of a run: check the output option
% (output_options), create the NetCDF file with the mesh and the bed, and
% return the writer that output_write fills at writer.times.
%
% grid: output_grid_lines, output_grid_triangles or output_grid_prisms;
% z: the bed (Np x K; prisms Np2 x K2); names: struct with fields nodal and
% layered (cell arrays of field names, see output_netcdf_create);
% meta: title and source of the run (text).
%
% writer fields: the checked option (netcdf, vtk, times, ...), active, grid,
% z, names, written (the number of times written), vtkFiles and vtkTimes.
  writer = output_options(output, finalTime);
  writer.grid = grid;
  writer.z = z;
  writer.names = names;
  writer.written = 0;
  writer.vtkFiles = {};
  writer.vtkTimes = [];
  if ~writer.active
    return;
  end
  if isempty(writer.title)
    writer.title = meta.title;
  end
  if ~isempty(writer.netcdf)
    header = struct('title', writer.title, 'source', meta.source, 'epoch', writer.epoch, ...
                    'history', sprintf('%s created by %s', datestr(now(), 'yyyy-mm-ddTHH:MM:SS'), ...
                                       meta.source));
    output_netcdf_create(writer.netcdf, grid, z, names, header);
  end
end
