function c = twin_case_wd_volume_flux_1d()
% TWIN_CASE_WD_VOLUME_FLUX_1D  F = wd_volume_flux_1d(dryThreshold, gravity,
% cellStatus, fieldValues).
  Np = twin_randi([0, 4]);
  K = twin_randi([0, 6]);
  threshold = twin_scalar(0.05);
  fieldValues = twin_values([Np, K, 3 + twin_randi([0, 1])], -0.5, 2);
  fieldValues(rand(size(fieldValues)) < 0.05) = double(threshold(1));
  c = twin_case({threshold, twin_scalar(9.81), twin_status(K), fieldValues}, 1, ...
                {'scalar', 'scalar', 'bytes', 'field'});
end
