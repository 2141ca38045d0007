function varargout = face_normal_vector(varargin)
% FACE_NORMAL_VECTOR  The outward unit normal of one element on one of its
% faces, and the face's per-node quantity, both at the face's first node. A
% face on the domain boundary (the element is its own neighbour) is looked up
% in the boundary-face tables, any other in the inner-face tables.
%
%   [elementNormalX, elementNormalY, elementFaceScalar] = face_normal_vector(
%       elementIndex, adjacentElementIndex, localFaceIndex, boundaryFaceToFace, boundaryNormalX,
%       boundaryNormalY, boundaryFaceToElement, normalX, normalY, faceToElement, boundaryFaceScalar, faceScalar)
%
%   elementIndex, adjacentElementIndex, localFaceIndex: scalars, 1-based
%   boundaryFaceToFace, boundaryFaceToElement: 2 x Nbe, row 1 read
%   boundaryNormalX, boundaryNormalY, boundaryFaceScalar: Nfpb x Nbe (Nfpb, Nbe from boundaryNormalX)
%   normalX, normalY, faceScalar: Nfp x Nface (Nfp, Nface from normalX)
%   faceToElement: 2 x Nface, local and adjacent element of each inner face
%   elementNormalX, elementNormalY, elementFaceScalar: scalars
%
% Numbers are compared for exact equality and the first matching face wins.
% Inner normals point outward from the local side, so an element on the
% adjacent side gets both components negated; the per-node quantity keeps its
% sign. When no face matches, no output is assigned.
%
% Plain-M twin of face_normal_vector.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same values bit
% for bit; without a match the caller sees the same host error.
  module = 'face_normal_vector';
  % 1. Argument counts.
  kernel_check_counts(module, 12, 3, nargin, nargout);
  [elementIndex, adjacentElementIndex, localFaceIndex, boundaryFaceToFace, boundaryNormalX, ...
   boundaryNormalY, boundaryFaceToElement, normalX, normalY, faceToElement, boundaryFaceScalar, ...
   faceScalar] = varargin{:};

  % 2. Inputs: the three numbers, then the boundary tables (extents from
  % boundaryNormalX) and the inner tables (extents from normalX).
  e = kernel_read_scalar(module, elementIndex, 0, 'elementIndex');
  a = kernel_read_scalar(module, adjacentElementIndex, 1, 'adjacentElementIndex');
  l = kernel_read_scalar(module, localFaceIndex, 2, 'localFaceIndex');
  kernel_require_double_array(module, boundaryNormalX, 4, 'boundaryNormalX');
  kernel_require_double_array(module, normalX, 7, 'normalX');
  Nfpb = size(boundaryNormalX, 1);
  Nbe = kernel_columns(boundaryNormalX);
  Nfp = size(normalX, 1);
  Nface = kernel_columns(normalX);
  boundaryEntries = kernel_count_product(module, 4, 'boundaryNormalX', 2, Nbe, '2*Nbe');
  faceEntries = kernel_count_product(module, 7, 'normalX', 2, Nface, '2*Nface');
  kernel_require_doubles(module, boundaryFaceToFace, 3, 'boundaryFaceToFace', boundaryEntries, '2*Nbe');
  kernel_require_doubles(module, boundaryNormalY, 5, 'boundaryNormalY', Nfpb * Nbe, 'Nfpb*Nbe');
  kernel_require_doubles(module, boundaryFaceToElement, 6, 'boundaryFaceToElement', boundaryEntries, '2*Nbe');
  kernel_require_doubles(module, normalY, 8, 'normalY', Nfp * Nface, 'Nfp*Nface');
  kernel_require_doubles(module, faceToElement, 9, 'faceToElement', faceEntries, '2*Nface');
  kernel_require_doubles(module, boundaryFaceScalar, 10, 'boundaryFaceScalar', Nfpb * Nbe, 'Nfpb*Nbe');
  kernel_require_doubles(module, faceScalar, 11, 'faceScalar', Nfp * Nface, 'Nfp*Nface');

  % 3. Search: a boundary face when the element is its own neighbour, else
  % the inner face between the two. Without a match the call returns with no
  % output assigned.
  if e == a
    % Boundary faces: owning element and local face number, rows 1 of the
    % tables, compared as stored.
    owner = boundaryFaceToElement(1:2:2 * Nbe);
    face = boundaryFaceToFace(1:2:2 * Nbe);
    match = find(owner(:) == e & face(:) == l, 1);
    adjacentSide = false;
    tables = {boundaryNormalX, boundaryNormalY, boundaryFaceScalar};
    nodes = {4, 'boundaryNormalX', Nfpb, 'Nfpb'};
  else
    % Inner faces, element numbers truncated: e on the local side with a
    % adjacent, or the other way round; the local side is tested first.
    localElement = fix(faceToElement(1:2:2 * Nface));
    adjacentElement = fix(faceToElement(2:2:2 * Nface));
    onLocalSide = e == localElement & a == adjacentElement;
    match = find(onLocalSide | (e == adjacentElement & a == localElement), 1);
    adjacentSide = ~any(onLocalSide(match));
    tables = {normalX, normalY, faceScalar};
    nodes = {7, 'normalX', Nfp, 'Nfp'};
  end
  if isempty(match)
    return;
  end

  % 4. Outputs: three scalars, the found face's values at its first node, in
  % order. The stored inner normal points out of the local side.
  first = first_node(module, nodes{:}, match);
  nx = tables{1}(first);
  ny = tables{2}(first);
  if adjacentSide
    nx = -nx;
    ny = -ny;
  end
  varargout = {nx, ny, tables{3}(first)};
end

% The linear position of the first node of a matched face, which a table of
% zero rows does not have.
function first = first_node(module, position, name, nodesPerFace, nodesName, face)
  if nodesPerFace < 1
    kernel_fail(module, 'noFaceNode', ...
                'Input %d (%s) has %s = %d rows; the matching face (column %d) has no first node to read.', ...
                position, name, nodesName, nodesPerFace, face);
  end
  first = (face - 1) * nodesPerFace + 1;
end
