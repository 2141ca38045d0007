function c = twin_case_face_flux_1d()
% TWIN_CASE_FACE_FLUX_1D  face_flux_1d(dryThreshold, gravity, normalX, faceValues).
  Nfp = twin_randi([0, 4]);
  Ne = twin_randi([0, 6]);
  faceValues = twin_values([Nfp, Ne, 1 + twin_randi(3)]);
  normalX = twin_values([Nfp, Ne + twin_randi([0, 1])], -1, 1);
  c = twin_case({twin_scalar(0.05), twin_scalar(9.81), normalX, faceValues}, 1, ...
                {'scalar', 'scalar', 'doubles', 'field'});
end
