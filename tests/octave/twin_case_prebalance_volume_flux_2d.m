function c = twin_case_prebalance_volume_flux_2d()
% TWIN_CASE_PREBALANCE_VOLUME_FLUX_2D  [E, G] = prebalance_volume_flux_2d(dryThreshold,
% gravity, cellStatus, fieldValues).
  Np = twin_randi([0, 4]);
  K = twin_randi([0, 6]);
  threshold = twin_scalar(0.05);
  fieldValues = twin_values([Np, K, 4 + twin_randi([0, 1])], -0.5, 2);
  fieldValues(rand(size(fieldValues)) < 0.05) = double(threshold(1));
  if rand() < 0.1
    fieldValues = reshape(fieldValues, Np, K, 1, []);
  end
  c = twin_case({threshold, twin_scalar(9.81), twin_status(K), fieldValues}, 2, ...
                {'scalar', 'scalar', 'bytes', 'field'});
end
