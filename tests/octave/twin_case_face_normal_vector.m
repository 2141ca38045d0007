function c = twin_case_face_normal_vector()
% TWIN_CASE_FACE_NORMAL_VECTOR  face_normal_vector(elementIndex,
% adjacentElementIndex, localFaceIndex, boundaryFaceToFace, boundaryNormalX,
% boundaryNormalY, boundaryFaceToElement, normalX, normalY, faceToElement,
% boundaryFaceScalar, faceScalar).
  K = twin_randi([1, 5]);
  Nfp = twin_randi(3) * (rand() > 0.1);
  Nface = twin_randi([0, 6]);
  Nfpb = twin_randi(3) * (rand() > 0.1);
  Nbe = twin_randi([0, 5]);
  faceToElement = twin_indices([2, Nface], K);
  boundaryFaceToElement = [twin_randi(K, 1, Nbe); twin_values([1, Nbe])];
  boundaryFaceToFace = [twin_randi(3, 1, Nbe); twin_values([1, Nbe])];
  % Ask for a boundary face, an inner face from either side, or any pair.
  e = twin_randi(K);
  a = twin_randi(K);
  l = twin_randi(3);
  ask = twin_randi(4);
  if ask == 1 && Nbe > 0
    b = twin_randi(Nbe);
    [e, a, l] = deal(boundaryFaceToElement(1, b), boundaryFaceToElement(1, b), boundaryFaceToFace(1, b));
  elseif (ask == 2 || ask == 3) && Nface > 0
    pair = fix(faceToElement(:, twin_randi(Nface)));
    [e, a] = deal(pair(ask - 1), pair(4 - ask));  % local side (ask 2) or adjacent (ask 3)
  end
  e(rand() < 0.05) = NaN;
  c = twin_case({e, a, l, boundaryFaceToFace, twin_values([Nfpb, Nbe], -1, 1), ...
                 twin_values([Nfpb, Nbe], -1, 1), boundaryFaceToElement, twin_values([Nfp, Nface], -1, 1), ...
                 twin_values([Nfp, Nface], -1, 1), faceToElement, twin_values([Nfpb, Nbe]), ...
                 twin_values([Nfp, Nface])}, 3, ...
                [{'scalar', 'scalar', 'scalar'}, repmat({'doubles'}, 1, 9)]);
end
