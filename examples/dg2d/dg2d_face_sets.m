function meshes = dg2d_face_sets(meshes)
% DG2D_FACE_SETS  Node maps and the face set of every mesh in a cell array
% of meshes that share one solver state (elements of mesh m at columns
% offset + (1:K) of the Np x Kall pages), from each mesh's E2E, E2F and
% faceMeshId (the index of the mesh across each face).
%
% mesh.patchNodes: linear node index, into the solver's Np x Kall page, of the
% nodes of each element (first) and of every element sharing a vertex with
% it, in any of the meshes; a column per element, padded by repeating the
% element, with patchCounted false on the padding and patchX, patchY the
% nodes' coordinates.
%
% mesh.faces, Nface faces: every face inside the mesh once (its lower
% element, or lower face number, on the local side), then every face on a
% wall or against another mesh, with only a local side:
%   faceToElement  2 x Nface local and adjacent element within this mesh (the
%                  local element twice where there is no adjacent one here)
%   faceToFace     2 x Nface face numbers (1..3) on both sides
%   nodeLocal, nodeAdjacent   Nfp x Nface node numbers (1..Np) in those elements
%   faceJacobian, normalX, normalY   Nfp x Nface, normal outward from the local side
%   mapM, mapP     Nfp x Nface linear node indices into the solver's pages:
%                  the local node and the node across (itself on a wall)
%   kind           1 x Nface: 0 inner, 1 wall, 2 against another mesh
%   elementM, elementP  1 x Nface column in the solver's pages of the local
%                  element and of the element across (the local one on a wall)
  offsets = cellfun(@(m) m.offset, meshes);
  around = vertex_neighbours(meshes);
  allX = cell2mat(cellfun(@(m) m.x, meshes, 'UniformOutput', false));
  allY = cell2mat(cellfun(@(m) m.y, meshes, 'UniformOutput', false));
  for m = 1:numel(meshes)
    mesh = meshes{m};
    ref = mesh.ref;
    Np = mesh.Np;
    Nfp = mesh.Nfp;
    K = mesh.K;
    [k, f] = ndgrid(1:3, 1:K);
    elem = f;
    face = k;
    % Node maps of every element face; across a face the neighbour lists the
    % shared nodes in the opposite direction.
    local = ref.faceNodes(:, face(:)');
    mesh.mapM = local + Np * (elem(:)' - 1 + mesh.offset);
    other = mesh.faceMeshId(:)';
    across = ref.faceNodes(Nfp:-1:1, mesh.E2F(:)');
    elemP = mesh.E2E(:)';
    nodeOffset = zeros(1, 3 * K);
    for o = 1:numel(meshes)
      nodeOffset(other == o) = Np * offsets(o);
    end
    mesh.mapP = across + Np * (elemP - 1) + nodeOffset;
    wall = other == m & elemP == elem(:)' & mesh.E2F(:)' == face(:)';
    mesh.mapP(:, wall) = mesh.mapM(:, wall);
    patch = [mesh.offset + (1:K); around(:, mesh.offset + (1:K))];
    mesh.patchNodes = reshape((1:Np)' + Np * (patch(:)' - 1), [], K);
    counted = [true(1, K); patch(2:end, :) ~= patch(1, :)];
    mesh.patchCounted = reshape(counted(:)'(ones(Np, 1), :), [], K);
    mesh.patchX = allX(mesh.patchNodes);
    mesh.patchY = allY(mesh.patchNodes);

    inner = other == m & ~wall & (elemP > elem(:)' | (elemP == elem(:)' & mesh.E2F(:)' > face(:)'));
    single = wall | other ~= m;
    pick = [find(inner), find(single)];
    F.kind = [zeros(1, nnz(inner)), ones(1, nnz(single))];
    F.kind(nnz(inner) + find(other(single) ~= m)) = 2;
    F.faceToElement = [elem(pick); elem(pick)];
    F.faceToElement(2, 1:nnz(inner)) = elemP(inner);
    F.faceToFace = [face(pick); face(pick)];
    F.faceToFace(2, 1:nnz(inner)) = mesh.E2F(inner);
    F.nodeLocal = local(:, pick);
    F.nodeAdjacent = F.nodeLocal;
    F.nodeAdjacent(:, 1:nnz(inner)) = across(:, inner);
    F.faceJacobian = mesh.sJ(:, pick);
    F.normalX = mesh.nx(:, pick);
    F.normalY = mesh.ny(:, pick);
    F.mapM = mesh.mapM(:, pick);
    F.mapP = mesh.mapP(:, pick);
    F.elementM = ceil(F.mapM(1, :) / Np);
    F.elementP = ceil(F.mapP(1, :) / Np);
    mesh.faces = F;
    meshes{m} = mesh;
  end
end

function around = vertex_neighbours(meshes)
  % Elements sharing a vertex with each of the Kall elements (global vertex
  % numbers), a column per element, padded with the element itself.
  Kall = sum(cellfun(@(m) m.K, meshes));
  EToV = zeros(3, Kall);
  for m = 1:numel(meshes)
    EToV(:, meshes{m}.offset + (1:meshes{m}.K)) = meshes{m}.EToV;
  end
  [vertex, order] = sort(EToV(:));
  element = ceil(order / 3);
  first = [true; diff(vertex) > 0];
  start = find(first);
  slot = (1:numel(vertex))' - start(cumsum(first)) + 1;
  atVertex = accumarray([vertex, slot], element);        % vertex x slot, 0 padded
  around = sort(reshape(atVertex(EToV(:), :)', [], Kall), 1);   % slots of the 3 vertices
  self = repmat(1:Kall, size(around, 1), 1);
  repeat = around == 0 | [false(1, Kall); diff(around, 1, 1) == 0];
  around(repeat) = self(repeat);
end
