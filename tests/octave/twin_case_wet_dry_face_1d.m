function c = twin_case_wet_dry_face_1d()
% TWIN_CASE_WET_DRY_FACE_1D  wet_dry_face_1d(cellStatus, faceToElement).
  K = twin_randi([0, 6]);
  Nface = twin_randi([0, 6]) * (K > 0);
  faceToElement = twin_indices([2 + (rand() < 0.2), Nface], K);
  c = twin_case({twin_codes(K), faceToElement}, 1, {'bytes', 'index'});
end
