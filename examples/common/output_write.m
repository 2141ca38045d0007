function writer = output_write(writer, t, fields)
% OUTPUT_WRITE  Write the state at time t to the files of a writer from
% output_open: one more record of the NetCDF file, and a .vtu file listed
% with its time in the .pvd collection. Does nothing for an inactive writer.
%
% fields: a struct with one field per name of writer.names.nodal (Np x K)
% and, for prisms, writer.names.layered ([Np2, Nz, L, K2] values). The VTK
% files carry the same fields and the bed z at VTK's points; a prism grid
% places its points at z = eta + sigma h (fields eta and h needed) and
% repeats the nodal fields on every level.
  if ~writer.active
    return;
  end
  grid = writer.grid;
  if ~isempty(writer.netcdf)
    output_netcdf_append(writer.netcdf, writer.written, t, grid, fields, writer.names);
  end
  if ~isempty(writer.vtk)
    [folder, base] = fileparts(writer.vtk);
    name = sprintf('%s_%04d.vtu', base, writer.written);
    names = [writer.names.nodal(:)', {'z'}];
    values = cellfun(@(n) fields.(n), writer.names.nodal(:)', 'UniformOutput', false);
    values{end + 1} = writer.z;
    if grid.topology == 3
      % Every level of a column: the 2d node values, then the layered ones.
      levels = grid.Nz * grid.L;
      spread = @(v) reshape(repmat(reshape(v, grid.Np, 1, 1, grid.K), [1, grid.Nz, grid.L, 1]), [], 1);
      values = cellfun(spread, values, 'UniformOutput', false);
      for i = 1:numel(writer.names.layered)
        names{end + 1} = writer.names.layered{i};
        values{end + 1} = reshape(fields.(writer.names.layered{i}), [], 1);
      end
      sigma = reshape(repmat(reshape(grid.sigma, 1, grid.Nz, grid.L), [grid.Np, 1, 1, grid.K]), [], 1);
      x = spread(reshape(grid.nodeX, grid.Np, grid.K));
      y = spread(reshape(grid.nodeY, grid.Np, grid.K));
      zPoint = spread(fields.eta) + sigma .* spread(fields.h);
      perCell = grid.Np * grid.Nz;
      values = cellfun(@(v) at_vtk_points(v, grid, perCell), [values, {x, y, zPoint}], ...
                       'UniformOutput', false);
      points = [values{end - 2}, values{end - 1}, values{end}];
      values = values(1:end - 3);
    else
      values = cellfun(@(v) at_vtk_points(v, grid, grid.Np), [values, {grid.nodeX, grid.nodeY}], ...
                       'UniformOutput', false);
      points = [values{end - 1}, values{end}, zeros(size(values{end}))];
      values = values(1:end - 2);
    end
    output_vtu(fullfile(folder, name), points, numel(grid.vtkOrder), grid.vtkType, names, values);
    writer.vtkFiles{end + 1} = name;
    writer.vtkTimes(end + 1) = t;
    output_pvd(fullfile(folder, [base '.pvd']), writer.vtkTimes, writer.vtkFiles);
  end
  writer.written = writer.written + 1;
end

function v = at_vtk_points(v, grid, perCell)
  % Nodal values of each element (perCell per element), in VTK's order of
  % the cell's points, interpolated where VTK's points are not the nodes.
  v = reshape(v, perCell, []);
  if isfield(grid, 'vtkInterp')
    v = grid.vtkInterp * v;
  else
    v = v(grid.vtkOrder, :);
  end
  v = v(:);
end
