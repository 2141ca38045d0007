function domain = dg2d_domain(meshes)
% DG2D_DOMAIN  What the limiters and integrals need of the meshes that share
% one state, over all Kall elements in state order: weights (Np x 1, the
% reference integrals of the nodal basis), vertexNodes (1 x 3),
% interiorInterp (nodal values to inner points, for N >= 2), J, x, y
% (Np x Kall), EToV (3 x Kall, global vertex numbers), vertexElements
% (Nv x most elements at a vertex: the elements around each vertex).
  if ~iscell(meshes)
    meshes = {meshes};
  end
  ref = meshes{1}.ref;
  domain.weights = ref.weights;
  domain.vertexNodes = ref.vertexNodes;
  % Points inside the element where the positivity limiter also looks: from
  % N = 2 on the interpolant dips below its nodal values (for N = 1 its
  % smallest value is at a node).
  domain.interiorInterp = zeros(0, ref.Np);
  if ref.N >= 2
    domain.interiorInterp = ref.interiorInterp;
  end
  domain.Dr = ref.Dr;
  domain.Ds = ref.Ds;
  domain.J = cell2mat(cellfun(@(m) m.J, meshes, 'UniformOutput', false));
  domain.x = cell2mat(cellfun(@(m) m.x, meshes, 'UniformOutput', false));
  domain.y = cell2mat(cellfun(@(m) m.y, meshes, 'UniformOutput', false));
  domain.rx = cell2mat(cellfun(@(m) m.rx, meshes, 'UniformOutput', false));
  domain.sx = cell2mat(cellfun(@(m) m.sx, meshes, 'UniformOutput', false));
  domain.ry = cell2mat(cellfun(@(m) m.ry, meshes, 'UniformOutput', false));
  domain.sy = cell2mat(cellfun(@(m) m.sy, meshes, 'UniformOutput', false));
  domain.EToV = cell2mat(cellfun(@(m) m.EToV, meshes, 'UniformOutput', false));
  % Elements around each vertex, a row per vertex, padded with Kall + 1.
  Kall = size(domain.EToV, 2);
  [vertex, order] = sort(domain.EToV(:));
  element = ceil(order / 3);
  first = [true; diff(vertex) > 0];
  start = find(first);
  slot = (1:numel(vertex))' - start(cumsum(first)) + 1;
  domain.vertexElements = accumarray([vertex, slot], element, [], [], Kall + 1);
  domain.vertexElements(domain.vertexElements == 0) = Kall + 1;
end
