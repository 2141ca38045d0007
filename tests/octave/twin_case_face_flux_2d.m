function c = twin_case_face_flux_2d()
% TWIN_CASE_FACE_FLUX_2D  face_flux_2d(dryThreshold, gravity, normalX, normalY, faceValues).
  Nfp = twin_randi([0, 4]);
  Ne = twin_randi([0, 6]);
  threshold = twin_scalar(0.05);
  faceValues = twin_values([Nfp, Ne, 2 + twin_randi(2)], -0.5, 2);
  faceValues(rand(size(faceValues)) < 0.05) = double(threshold(1));
  normalX = twin_values([Nfp, Ne + twin_randi([0, 1])], -1, 1);
  normalY = twin_values([1, Nfp * Ne + twin_randi([0, 1])], -1, 1);
  c = twin_case({threshold, twin_scalar(9.81), normalX, normalY, faceValues}, 1, ...
                {'scalar', 'scalar', 'doubles', 'doubles', 'field'});
end
