function c = twin_case_boundary_type()
% TWIN_CASE_BOUNDARY_TYPE  boundary_type(boundaryTypes, faceNodeTemplate).
  Nfp = twin_randi([0, 4]);
  Nbe = twin_randi([0, 8]);
  codes = int8(twin_randi([-128, 127], 1, Nbe + twin_randi([0, 1])));
  realised = rand(size(codes)) < 0.5;
  codes(realised) = int8(twin_randi([2, 7], 1, nnz(realised)));
  c = twin_case({codes, rand(Nfp, Nbe)}, 1, {'bytes', 'any'});
end
