function c = twin_case_nonhydro_vertical_volume_flux()
% TWIN_CASE_NONHYDRO_VERTICAL_VOLUME_FLUX  [volumeFluxX, volumeFluxY] =
% nonhydro_vertical_volume_flux(cellStatus, dischargeX, dischargeY,
% verticalMomentum, depth).
  Np = twin_randi([0, 4]);
  K = twin_randi([0, 6]);
  args = {twin_status(K), twin_values([Np, K]), twin_values([Np * K + twin_randi([0, 1]), 1]), ...
          twin_values([Np, K]), twin_values([Np, K], -0.5, 2)};
  c = twin_case(args, 2, {'bytes', 'doubles', 'doubles', 'doubles', 'doubles'});
end
