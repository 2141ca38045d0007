function output_netcdf_create(file, grid, z, names, meta)
% OUTPUT_NETCDF_CREATE  Create the NetCDF file of a run (CF and UGRID
% conventions, 64-bit offset format) with its mesh, the bed and the time
% series variables, no time written yet; output_netcdf_append adds each time.
%
% grid: from output_grid_lines, output_grid_triangles or output_grid_prisms.
% z: the bed, Np x K (for prisms Np2 x K2).
% names: struct with fields nodal (cell array of the fields of the 1d or 2d
% mesh, written per node and as element means: for example h, hu, hv, eta)
% and layered (fields of the layers of a prism grid, written per node and
% level and as means per element and layer).
% meta: title, source, history, epoch (the time origin, 'yyyy-mm-dd HH:MM:SS').
%
% Every element keeps its own nodes ("node"); the mesh "mesh" joins them into
% the triangles of each element's nodal lattice ("face"; in 1d the edges
% between neighbouring nodes, "edge"); the mesh "mesh_elements" joins the
% vertex nodes of each element into the element itself ("element"), on which
% the element means lie. Connectivities are counter-clockwise and start at 0.
  netcdf = output_netcdf_api();
  mode = bitor(netcdf.getConstant('NC_CLOBBER'), netcdf.getConstant('NC_64BIT_OFFSET'));
  ncid = netcdf.create(file, mode);
  closer = onCleanup(@() netcdf.close(ncid));
  global_ = netcdf.getConstant('NC_GLOBAL');
  netcdf.putAtt(ncid, global_, 'Conventions', 'CF-1.8 UGRID-1.0');
  netcdf.putAtt(ncid, global_, 'title', meta.title);
  netcdf.putAtt(ncid, global_, 'history', meta.history);
  netcdf.putAtt(ncid, global_, 'source', meta.source);

  nv = size(grid.subcells, 1);
  if grid.topology == 1
    kind = 'edge';
  else
    kind = 'face';
  end
  dNode = netcdf.defDim(ncid, 'node', numel(grid.nodeX));
  dSub = netcdf.defDim(ncid, kind, size(grid.subcells, 2));
  dElement = netcdf.defDim(ncid, 'element', grid.K);
  dVertex = netcdf.defDim(ncid, sprintf('max_%s_nodes', kind), nv);
  dTime = netcdf.defDim(ncid, 'time', netcdf.getConstant('NC_UNLIMITED'));

  topologies = {'mesh', 'mesh_elements'};
  connectivities = {[kind '_nodes'], 'element_nodes'};
  dims = {dSub, dElement};
  dimNames = {kind, 'element'};
  longNames = {sprintf('%s of the nodal lattice of every element (each element has its own nodes)', kind), ...
               'the elements, through their vertex nodes'};
  for m = 1:2
    id = netcdf.defVar(ncid, topologies{m}, 'int', []);
    netcdf.putAtt(ncid, id, 'cf_role', 'mesh_topology');
    netcdf.putAtt(ncid, id, 'long_name', longNames{m});
    netcdf.putAtt(ncid, id, 'topology_dimension', int32(min(grid.topology, 2)));
    netcdf.putAtt(ncid, id, 'node_coordinates', 'node_x node_y');
    netcdf.putAtt(ncid, id, [kind '_node_connectivity'], connectivities{m});
    netcdf.putAtt(ncid, id, [kind '_dimension'], dimNames{m});
    id = netcdf.defVar(ncid, connectivities{m}, 'int', [dVertex, dims{m}]);
    netcdf.putAtt(ncid, id, 'cf_role', [kind '_node_connectivity']);
    if grid.topology == 1
      netcdf.putAtt(ncid, id, 'long_name', ['end nodes of each ' dimNames{m} ', in increasing x']);
    else
      netcdf.putAtt(ncid, id, 'long_name', ['vertex nodes of each ' dimNames{m} ', counter-clockwise']);
    end
    netcdf.putAtt(ncid, id, 'start_index', int32(0));
  end
  axes = {'x', 'y'};
  for a = 1:2
    id = netcdf.defVar(ncid, ['node_' axes{a}], 'double', dNode);
    netcdf.putAtt(ncid, id, 'standard_name', ['projection_' axes{a} '_coordinate']);
    netcdf.putAtt(ncid, id, 'long_name', [axes{a} ' of the node']);
    netcdf.putAtt(ncid, id, 'units', 'm');
  end
  id = netcdf.defVar(ncid, 'time', 'double', dTime);
  netcdf.putAtt(ncid, id, 'standard_name', 'time');
  netcdf.putAtt(ncid, id, 'long_name', 'simulated time');
  netcdf.putAtt(ncid, id, 'units', ['seconds since ' meta.epoch]);
  netcdf.putAtt(ncid, id, 'axis', 'T');

  if grid.topology == 3
    dLevel = netcdf.defDim(ncid, 'level', grid.Nz * grid.L);
    dLayer = netcdf.defDim(ncid, 'layer', grid.L);
    id = netcdf.defVar(ncid, 'sigma', 'double', dLevel);
    netcdf.putAtt(ncid, id, 'standard_name', 'ocean_sigma_coordinate');
    netcdf.putAtt(ncid, id, 'long_name', ['sigma of the vertical nodes of each layer, bottom to top,' ...
                                          ' layer by layer (each layer has its own nodes)']);
    netcdf.putAtt(ncid, id, 'units', '1');
    netcdf.putAtt(ncid, id, 'positive', 'up');
    netcdf.putAtt(ncid, id, 'formula_terms', 'sigma: sigma eta: eta depth: depth');
    define_field(netcdf, ncid, 'depth', dNode, dElement, grid.topology, false);
  end
  define_field(netcdf, ncid, 'z', dNode, dElement, grid.topology, false);
  for i = 1:numel(names.nodal)
    define_field(netcdf, ncid, names.nodal{i}, [dNode, dTime], [dElement, dTime], grid.topology, false);
  end
  if grid.topology == 3
    for i = 1:numel(names.layered)
      define_field(netcdf, ncid, names.layered{i}, [dNode, dLevel, dTime], [dElement, dLayer, dTime], ...
                   grid.topology, true);
    end
  end
  netcdf.endDef(ncid);

  put = @(name, value) netcdf.putVar(ncid, netcdf.inqVarID(ncid, name), value);
  put('mesh', int32(0));
  put('mesh_elements', int32(0));
  put([kind '_nodes'], int32(grid.subcells - 1));
  put('element_nodes', int32(grid.elements - 1));
  put('node_x', grid.nodeX);
  put('node_y', grid.nodeY);
  put('z', z(:));
  put('z_mean', (grid.weights' * reshape(z, grid.Np, [])).');
  if grid.topology == 3
    put('sigma', grid.sigma(:));
    put('depth', -z(:));
    put('depth_mean', -(grid.weights' * reshape(z, grid.Np, [])).');
  end
end

function define_field(netcdf, ncid, name, nodeDims, elementDims, topology, layered)
  % The field on the nodes and its element means (name_mean).
  attributes = output_attributes(name);
  if topology == 1
    where = 'edge';
  else
    where = 'face';
  end
  ids = [netcdf.defVar(ncid, name, 'double', nodeDims), ...
         netcdf.defVar(ncid, [name '_mean'], 'double', elementDims)];
  for j = 1:2
    for a = 1:2:numel(attributes)
      netcdf.putAtt(ncid, ids(j), attributes{a}, attributes{a + 1});
    end
  end
  netcdf.putAtt(ncid, ids(1), 'mesh', 'mesh');
  netcdf.putAtt(ncid, ids(1), 'location', 'node');
  netcdf.putAtt(ncid, ids(2), 'mesh', 'mesh_elements');
  netcdf.putAtt(ncid, ids(2), 'location', where);
  if layered
    netcdf.putAtt(ncid, ids(1), 'coordinates', 'node_x node_y sigma');
    netcdf.putAtt(ncid, ids(2), 'cell_methods', 'element: mean layer: mean');
  else
    netcdf.putAtt(ncid, ids(1), 'coordinates', 'node_x node_y');
    netcdf.putAtt(ncid, ids(2), 'cell_methods', 'element: mean');
  end
end
