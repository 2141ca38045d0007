function args = twin_face_args(count, Nfp, Nface)
% TWIN_FACE_ARGS  The start of a valid argument list of a face kernel that
% skips faces with a non-wet element: cellStatus (K = 1 to 6 elements) and
% faceToElement (2 x Nface), then `count` per-node arrays Nfp x Nface (the
% first a depth, sometimes with an extra column on the others).
  K = twin_randi(6);
  args = {twin_status(K), twin_indices([2, Nface], K), twin_values([Nfp, Nface], -0.5, 2)};
  for a = 2:count
    args{end + 1} = twin_values([Nfp, Nface + (rand() < 0.1)]); %#ok<AGROW>
  end
end
