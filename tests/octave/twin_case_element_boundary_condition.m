function c = twin_case_element_boundary_condition()
% TWIN_CASE_ELEMENT_BOUNDARY_CONDITION  element_boundary_condition(
% elementFaceTemplate, boundaryFaceToFace, boundaryFaceToElement, boundaryTypes).
  Nface = twin_randi([0, 4]);
  K = twin_randi([0, 5]);
  Nbe = twin_randi([0, 8]) * (Nface * K > 0);
  codes = int8(twin_randi([-128, 127], 1, Nbe));
  known = rand(1, Nbe) < 0.6;
  codes(known) = int8(twin_randi([0, 13], 1, nnz(known)));
  % Second rows are never read: any value.
  toFace = twin_indices([2, Nbe], Nface);
  toFace(2, :) = twin_values([1, Nbe]);
  toElement = twin_indices([2, Nbe], K);
  toElement(2, :) = twin_values([1, Nbe]);
  c = twin_case({zeros(Nface, K), toFace, toElement, codes}, 1, {'any', 'index', 'index', 'bytes'});
end
