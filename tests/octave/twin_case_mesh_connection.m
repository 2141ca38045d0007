function c = twin_case_mesh_connection()
% TWIN_CASE_MESH_CONNECTION  mesh_connection(localMeshId, adjacentMeshId,
% elementCount, adjacentElementCount, facesPerElement, adjacentFacesPerElement,
% faceVertexIndex, adjacentFaceVertexIndex, elementToVertex,
% adjacentElementToVertex, ~, elementToElement, elementToFace).
  [Nf, Nv, faceVertexIndex] = reference_element();
  [Nf2, Nv2, adjacentFaceVertexIndex] = reference_element();
  K = twin_randi([0, 5]);
  K2 = twin_randi([0, 5]);
  % Vertex ids from a small pool, so that faces meet, some with fractions
  % (truncated), some negative.
  pool = [1:8, 7.6, -3, 0];
  elementToVertex = reshape(pool(twin_randi(numel(pool), Nv, K)), Nv, K);
  adjacentElementToVertex = reshape(pool(twin_randi(numel(pool), Nv2, K2)), Nv2, K2);
  if rand() < 0.2
    % The adjacent mesh is the local one.
    [Nf2, Nv2, adjacentFaceVertexIndex, K2, adjacentElementToVertex] = ...
        deal(Nf, Nv, faceVertexIndex, K, elementToVertex);
  end
  if rand() < 0.1 && ~isempty(elementToVertex)
    % A vertex id that is not one: NaN, infinite or beyond 32 bits.
    bad = [NaN, Inf, -Inf, 2^31, -2^31 - 1, 1e300];
    elementToVertex(twin_randi(numel(elementToVertex))) = bad(twin_randi(numel(bad)));
  end
  % About half the faces are boundary faces (their own element, possibly
  % with a fraction); the others name any element.
  own = repmat(1:K, Nf, 1) + 0.9 * (rand(Nf, K) < 0.2);
  elementToElement = twin_randi(max(K, 1), Nf, K);
  boundary = rand(Nf, K) < 0.5;
  elementToElement(boundary) = own(boundary);
  elementToFace = twin_randi(max(Nf, 1), Nf, K);
  extents = {K, K2, Nf, Nf2};
  if rand() < 0.1
    % An extent that is not a count.
    bad = {-1, NaN, Inf, 2^31, -0.5};
    extents{twin_randi(4)} = bad{twin_randi(numel(bad))};
  end
  c = twin_case([{twin_scalar(1), twin_scalar(2)}, extents, {faceVertexIndex, adjacentFaceVertexIndex, ...
                 elementToVertex, adjacentElementToVertex, 'unused', elementToElement, elementToFace}], 3, ...
                [repmat({'scalar'}, 1, 6), {'index', 'index', 'doubles', 'doubles', 'any', 'doubles', 'doubles'}]);
end

function [Nf, Nv, faceVertexIndex] = reference_element()
  % Triangle, quadrilateral, or faces over any vertices (a face may end where
  % it starts; a spare vertex ends no face).
  Nv = twin_randi([2, 5]);
  Nf = twin_randi([0, 4]);
  if rand() < 0.6
    Nf = min(Nv, 4);
    faceVertexIndex = [1:Nf; [2:Nf, 1]];
  else
    faceVertexIndex = twin_indices([2, Nf], Nv);
  end
end
