function c = twin_case_downwind_flux_2d()
% TWIN_CASE_DOWNWIND_FLUX_2D  downwind_flux_2d(cellStatus, faceToElement,
% dischargeXLocal, dischargeYLocal, dischargeXAdjacent, dischargeYAdjacent,
% fieldXLocal, fieldXAdjacent, fieldYLocal, fieldYAdjacent, normalX, normalY).
  K = twin_randi([1, 5]);
  Nfp = twin_randi([0, 4]);
  Nface = twin_randi([0, 6]);
  cellStatus = twin_codes(K);
  if rand() < 0.5
    cellStatus(rand(1, K) < 0.8) = 4;
  end
  q = {twin_values([Nfp, Nface]), twin_values([Nfp, Nface])};
  % Adjacent discharges equal to, opposite to or apart from the local ones:
  % agreeing, converging and diverging flow, and normal discharges of zero.
  switch twin_randi(3)
    case 1
      q(3:4) = q(1:2);
    case 2
      q(3:4) = {-q{1}, -q{2}};
    otherwise
      q(3:4) = {twin_values([Nfp, Nface]), twin_values([Nfp, Nface])};
  end
  fields = arrayfun(@(~) twin_values([Nfp, Nface + twin_randi([0, 1])]), 1:4, 'UniformOutput', false);
  normals = {twin_values([Nfp, Nface], -1, 1), twin_values([Nfp, Nface], -1, 1)};
  c = twin_case([{cellStatus, twin_indices([2, Nface], K)}, q, fields, normals], 2, ...
                [{'bytes', 'index'}, repmat({'doubles'}, 1, 10)]);
end
