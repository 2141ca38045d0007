function c = twin_case_boundary_type()
% TWIN_CASE_BOUNDARY_TYPE  boundary_type(boundaryTypes, faceNodeTemplate).
  Nfp = randi([0, 4]);
  Nbe = randi([0, 8]);
  codes = int8(randi([-128, 127], 1, Nbe + randi([0, 1])));
  realised = rand(size(codes)) < 0.5;
  codes(realised) = int8(randi([2, 7], 1, nnz(realised)));
  c = twin_case({codes, rand(Nfp, Nbe)}, 1, {'bytes', 'any'});
end
