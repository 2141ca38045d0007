function output_netcdf_append(file, index, t, grid, fields, names)
% OUTPUT_NETCDF_APPEND  Write the state at time t as record index (0 for the
% first) of a file made by output_netcdf_create, and close the file again, so
% that what is written stays readable whatever happens to the run later.
%
% fields: a struct with one field per name in names.nodal (Np x K) and
% names.layered (prism grids: Np2*Nz*L*K2 values in the order
% [Np2, Nz, L, K2], see output_grid_prisms).
  netcdf = output_netcdf_api();
  ncid = netcdf.open(file, 'WRITE');
  closer = onCleanup(@() netcdf.close(ncid));
  put = @(name, start, count, value) netcdf.putVar(ncid, netcdf.inqVarID(ncid, name), start, count, value);
  put('time', index, 1, t);
  nodes = numel(grid.nodeX);
  for i = 1:numel(names.nodal)
    value = fields.(names.nodal{i});
    put(names.nodal{i}, [0, index], [nodes, 1], value(:));
    put([names.nodal{i} '_mean'], [0, index], [grid.K, 1], (grid.weights' * reshape(value, grid.Np, [])).');
  end
  if grid.topology == 3
    levels = grid.Nz * grid.L;
    for i = 1:numel(names.layered)
      value = reshape(fields.(names.layered{i}), grid.Np, grid.Nz, grid.L, grid.K);
      % Levels outer, nodes inner: (node, level) with node = (k-1)*Np + i.
      put(names.layered{i}, [0, 0, index], [nodes, levels, 1], ...
          reshape(permute(value, [1, 4, 2, 3]), nodes, levels));
      means = reshape(grid.weights3' * reshape(value, grid.Np * grid.Nz, []), grid.L, grid.K);
      put([names.layered{i} '_mean'], [0, 0, index], [grid.K, grid.L, 1], means.');
    end
  end
end
