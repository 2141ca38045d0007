function c = twin_case_nonhydro_vertical_face_flux()
% TWIN_CASE_NONHYDRO_VERTICAL_FACE_FLUX  normalFlux = nonhydro_vertical_face_flux(
% cellStatus, faceToElement, ignoredScalar, depth, dischargeX, dischargeY,
% verticalMomentum, normalX, normalY).
  Nfp = twin_randi([0, 4]);
  Nface = twin_randi([0, 6]);
  args = twin_face_args(6, Nfp, Nface);
  args = [args(1:2), {twin_scalar(1)}, args(3:end)];
  c = twin_case(args, 1, [{'bytes', 'index', 'scalar'}, repmat({'doubles'}, 1, 6)]);
end
