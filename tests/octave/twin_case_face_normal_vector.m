function c = twin_case_face_normal_vector()
% TWIN_CASE_FACE_NORMAL_VECTOR  face_normal_vector(elementIndex,
% adjacentElementIndex, localFaceIndex, boundaryFaceToFace, boundaryNormalX,
% boundaryNormalY, boundaryFaceToElement, normalX, normalY, faceToElement,
% boundaryFaceScalar, faceScalar).
  K = twin_randi([1, 5]);
  Nfp = twin_randi([0, 3]);
  Nface = twin_randi([0, 6]);
  Nfpb = twin_randi([0, 3]);
  Nbe = twin_randi([0, 5]);
  faceToElement = twin_indices([2, Nface], K);
  boundaryFaceToElement = [twin_randi(K, 1, Nbe); twin_values([1, Nbe])];
  boundaryFaceToFace = [twin_randi(3, 1, Nbe); twin_values([1, Nbe])];
  % Ask for a boundary face, an inner face from either side, or any pair.
  e = twin_randi(K);
  a = twin_randi(K);
  l = twin_randi(3);
  switch twin_randi(4)
    case 1
      if Nbe > 0
        b = twin_randi(Nbe);
        e = boundaryFaceToElement(1, b);
        l = boundaryFaceToFace(1, b);
      end
      a = e;
    case {2, 3}
      if Nface > 0
        pair = fix(faceToElement(:, twin_randi(Nface)));
        e = pair(1);
        a = pair(2);
        if rand() < 0.5
          [e, a] = deal(a, e);
        end
      end
  end
  if rand() < 0.05
    e = NaN;
  end
  c = twin_case({e, a, l, boundaryFaceToFace, twin_values([Nfpb, Nbe], -1, 1), ...
                 twin_values([Nfpb, Nbe], -1, 1), boundaryFaceToElement, twin_values([Nfp, Nface], -1, 1), ...
                 twin_values([Nfp, Nface], -1, 1), faceToElement, twin_values([Nfpb, Nbe]), ...
                 twin_values([Nfp, Nface])}, 3, ...
                [{'scalar', 'scalar', 'scalar'}, repmat({'doubles'}, 1, 9)]);
end
