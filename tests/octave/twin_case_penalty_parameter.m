function c = twin_case_penalty_parameter()
% TWIN_CASE_PENALTY_PARAMETER  penalty_parameter(elementSize, faceToElement,
% innerEdgeSize, boundaryFaceToElement, boundaryEdgeSize, cellShapeCode,
% polynomialOrder).
  K = twin_randi([0, 6]);
  Nie = twin_randi([0, 8]) * (K > 0);
  Nbe = twin_randi([0, 6]) * (K > 0);
  elementSize = twin_values([1, K], 0.5, 3);
  if rand() < 0.3
    elementSize = twin_values([1, K]);  % negative and zero sizes too
  end
  boundaryFaceToElement = twin_indices([2, Nbe], K);
  boundaryFaceToElement(2, :) = twin_values([1, Nbe]);  % never read
  shapes = int8([1, 1, 2, 2, 3, 3, 0, 4, -1, 127]);
  shape = shapes(twin_randi(numel(shapes)));
  if rand() < 0.2
    shape = [shape, int8(2)];  % only the first byte is read
  end
  c = twin_case({elementSize, twin_indices([2, Nie], K), twin_values([1, Nie], 0, 2), ...
                 boundaryFaceToElement, twin_values([Nbe, 1], 0, 2), shape, twin_scalar(twin_randi([0, 4]))}, 1, ...
                {'doubles', 'index', 'doubles', 'index', 'doubles', 'bytes', 'scalar'});
end
