function c = twin_case_upwind_flux_2d()
% TWIN_CASE_UPWIND_FLUX_2D  upwindFlux = upwind_flux_2d(cellStatus,
% faceToElement, depthLocal, dischargeXLocal, dischargeYLocal, scalarLocal,
% depthAdjacent, dischargeXAdjacent, dischargeYAdjacent, scalarAdjacent,
% normalX, normalY). Discharges on the two sides are sometimes equal or zero,
% so that every branch of the side choice is taken.
  Nfp = twin_randi([0, 4]);
  Nface = twin_randi([0, 6]);
  args = twin_face_args(10, Nfp, Nface);
  if rand() < 0.3
    args(7:9) = args(3:5);
  end
  if rand() < 0.2
    args{4}(rand(size(args{4})) < 0.5) = 0;
    args{8}(rand(size(args{8})) < 0.5) = 0;
  end
  c = twin_case(args, 1, [{'bytes', 'index'}, repmat({'doubles'}, 1, 10)]);
end
