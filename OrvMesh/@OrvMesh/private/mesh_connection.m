function varargout = mesh_connection(varargin)
% MESH_CONNECTION  Connects the boundary faces of a local mesh to the faces of
% an adjacent mesh that share their two end vertices.
%
%   [faceMeshId, elementToElement, elementToFace] = mesh_connection(localMeshId, adjacentMeshId,
%       elementCount, adjacentElementCount, facesPerElement, adjacentFacesPerElement, faceVertexIndex,
%       adjacentFaceVertexIndex, elementToVertex, adjacentElementToVertex, ~, elementToElement, elementToFace)
%
%   localMeshId, adjacentMeshId: scalars, the mesh ids written to faceMeshId
%   elementCount (K), adjacentElementCount (K2), facesPerElement (Nf), adjacentFacesPerElement (Nf2):
%                             scalars, truncated toward zero
%   faceVertexIndex:          2 x Nf, 1-based local vertex numbers (1..Nv) of the end vertices of each face
%   adjacentFaceVertexIndex:  2 x Nf2, the same for the adjacent mesh (1..Nv2)
%   elementToVertex:          Nv x K, global vertex id of each vertex (truncated toward zero)
%   adjacentElementToVertex:  Nv2 x K2
%   input 10:                 not read
%   elementToElement:         Nf x K, 1-based neighbour across each face; the element itself on a boundary face
%   elementToFace:            Nf x K, 1-based face number within that neighbour
%   outputs:                  Nf x K each: faceMeshId, and elementToElement and elementToFace updated
%
% A boundary face whose pair of vertex ids, in either order, is the pair of some
% face of the adjacent mesh is connected to the last such face in scan order
% (adjacent elements in turn, faces within an element in turn) and gets
% adjacentMeshId; every other face keeps its input entries and localMeshId.
%
% Plain-M twin of mesh_connection.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same tables bit
% for bit. The search sorts the adjacent faces' vertex pairs once instead of
% comparing every pair of faces.
  module = 'mesh_connection';
  % 1. Argument counts.
  kernel_check_counts(module, 13, 3, nargin, nargout);
  [localMeshId, adjacentMeshId, elementCount, adjacentElementCount, facesPerElement, ...
   adjacentFacesPerElement, faceVertexIndex, adjacentFaceVertexIndex, elementToVertex, ...
   adjacentElementToVertex, ~, elementToElement, elementToFace] = varargin{:};

  % 2. Inputs.
  localId = kernel_read_scalar(module, localMeshId, 0, 'localMeshId');
  adjacentId = kernel_read_scalar(module, adjacentMeshId, 1, 'adjacentMeshId');
  K = read_extent(module, elementCount, 2, 'elementCount');
  K2 = read_extent(module, adjacentElementCount, 3, 'adjacentElementCount');
  Nf = read_extent(module, facesPerElement, 4, 'facesPerElement');
  Nf2 = read_extent(module, adjacentFacesPerElement, 5, 'adjacentFacesPerElement');
  kernel_require_doubles(module, faceVertexIndex, 6, 'faceVertexIndex', 2 * Nf, '2*Nf');
  kernel_require_doubles(module, adjacentFaceVertexIndex, 7, 'adjacentFaceVertexIndex', 2 * Nf2, '2*Nf2');
  kernel_require_double_array(module, elementToVertex, 8, 'elementToVertex');
  kernel_require_double_array(module, adjacentElementToVertex, 9, 'adjacentElementToVertex');
  Nv = size(elementToVertex, 1);
  Nv2 = size(adjacentElementToVertex, 1);
  kernel_require_elements(module, elementToVertex, 8, 'elementToVertex', Nv * K, 'Nv*K');
  kernel_require_elements(module, adjacentElementToVertex, 9, 'adjacentElementToVertex', Nv2 * K2, 'Nv2*K2');
  kernel_require_doubles(module, elementToElement, 11, 'elementToElement', Nf * K, 'Nf*K');
  kernel_require_doubles(module, elementToFace, 12, 'elementToFace', Nf * K, 'Nf*K');
  local = struct('K', K, 'Nf', Nf, 'Nv', Nv, 'faceVertexIndex', faceVertexIndex, ...
                 'elementToVertex', elementToVertex, 'faceVertexArg', {{6, 'faceVertexIndex'}}, ...
                 'vertexArg', {{8, 'elementToVertex'}}, 'NvName', 'Nv');
  adjacent = struct('K', K2, 'Nf', Nf2, 'Nv', Nv2, 'faceVertexIndex', adjacentFaceVertexIndex, ...
                    'elementToVertex', adjacentElementToVertex, 'faceVertexArg', {{7, 'adjacentFaceVertexIndex'}}, ...
                    'vertexArg', {{9, 'adjacentElementToVertex'}}, 'NvName', 'Nv2');
  neighbour = kernel_leading(elementToElement, [Nf, K]);
  % A face is a boundary face when its neighbour, truncated, is its own element.
  self = repmat(1:K, Nf, 1);
  boundary = neighbour >= self & neighbour < self + 1;

  % Vertex numbers and ids are checked where they are read: on the local
  % boundary faces, and on every adjacent face once there is a boundary face.
  [keys, readable] = face_keys(local, boundary);
  bad = find(boundary & ~readable, 1);
  if ~isempty(bad)
    fail_on_face(module, local, bad);
  end
  searchAdjacent = any(boundary(:)) && K2 * Nf2 > 0;
  if searchAdjacent
    [adjacentKeys, readable] = face_keys(adjacent, true(Nf2, K2));
    bad = find(~readable, 1);
    if ~isempty(bad)
      fail_on_face(module, adjacent, bad);
    end
  end

  % 3. Outputs: Nf x K each, the input entries and localMeshId.
  faceMeshId = repmat(localId, Nf, K);
  connectedElement = neighbour;
  connectedFace = kernel_leading(elementToFace, [Nf, K]);

  % 4. Connection: every boundary face whose key some adjacent face carries
  % takes the last such face (adjacent face t = k2*Nf2 + j2 + 1 in scan order).
  if searchAdjacent
    [uniqueKeys, last] = unique(adjacentKeys, 'rows', 'last');
    [found, where] = ismember(keys(boundary(:), :), uniqueKeys, 'rows');
    connected = find(boundary);
    connected = connected(found);
    t = last(where(found)) - 1;
    faceMeshId(connected) = adjacentId;
    connectedElement(connected) = floor(t / Nf2) + 1;
    connectedFace(connected) = mod(t, Nf2) + 1;
  end
  varargout = {faceMeshId, connectedElement, connectedFace};
end

% An extent given as a scalar: finite, not negative and below 2^31, truncated.
function n = read_extent(module, value, position, name)
  n = kernel_read_scalar(module, value, position, name);
  if ~(n >= 0 && n < 2147483648)
    kernel_fail(module, 'invalidExtent', ...
                'Input %d (%s) holds %s; it must be a finite count in 0..2147483647.', position, name, ...
                kernel_format_g17(n));
  end
  n = fix(n);
end

% The keys of the faces of a mesh, one row (larger, smaller truncated vertex
% id) per face in scan order (faces of an element in turn, elements in turn),
% and whether each face can be read: both vertex numbers in 1..Nv and both
% vertex ids finite and within 32 bits once truncated. Only faces in `wanted`
% (Nf x K) are read.
function [keys, readable] = face_keys(mesh, wanted)
  ends = kernel_leading(mesh.faceVertexIndex, [2, mesh.Nf]);
  numbered = all(ends >= 1 & ends < mesh.Nv + 1, 1);
  readable = wanted & repmat(numbered', 1, mesh.K);
  offsets = repmat((0:mesh.K - 1) * mesh.Nv, mesh.Nf, 1);
  ids = zeros(mesh.Nf, mesh.K, 2);
  for side = 1:2
    vertex = repmat(fix(ends(side, :))', 1, mesh.K);
    id = zeros(mesh.Nf, mesh.K);
    id(readable) = mesh.elementToVertex(offsets(readable) + vertex(readable));
    ids(:, :, side) = id;
  end
  readable = readable & all(ids > -2147483649 & ids < 2147483648, 3);
  ids = fix(ids);
  keys = [reshape(max(ids, [], 3), [], 1), reshape(min(ids, [], 3), [], 1)];
end

% Ends the call on face `bad` (flat index in Nf x K), which cannot be read: the
% first of its vertex numbers outside 1..Nv, else the first of its vertex ids.
function fail_on_face(module, mesh, bad)
  [j, k] = ind2sub([mesh.Nf, mesh.K], bad);
  kernel_require_indices(module, mesh.faceVertexIndex, mesh.faceVertexArg{:}, 2, 1, 2 * (j - 1), ...
                         mesh.Nv, mesh.NvName);
  for e = 1:2
    offset = mesh.Nv * (k - 1) + fix(mesh.faceVertexIndex(2 * (j - 1) + e));
    value = mesh.elementToVertex(offset);
    if ~(value > -2147483649 && value < 2147483648)
      kernel_fail(module, 'invalidVertexId', ...
                  ['Input %d (%s) entry %d holds %s, which is not a vertex id (finite, and in ' ...
                   '-2147483648..2147483647 once truncated).'], mesh.vertexArg{:}, offset, kernel_format_g17(value));
    end
  end
end
