function [args, kinds] = twin_edge_args(fluxes)
% TWIN_EDGE_ARGS  A valid argument list of an edge module with `fluxes` flux
% arrays (fluxLocal, fluxAdjacent and, for 3, numericalFlux): Np 0 to 6
% (mostly at least 1), K 1 to 5, Nfp 0 to 4, Nface 0 to 6, Nfield 1 to 3. The
% mass matrices are finite; fluxes and Jacobians get a few special values but
% no huge ones, so that no sum overflows in one order and not in another.
  Np = twin_randi([1, 6]) * (rand() > 0.05);
  K = twin_randi([1, 5]);
  Nfp = twin_randi([0, 4]);
  Nface = twin_randi([0, 6]);
  Nfield = twin_randi([1, 3]);
  faceToElement = twin_indices([2, Nface], K);
  if rand() < 0.2 && Nface > 0
    faceToElement(2, 1) = faceToElement(1, 1);   % both sides the same element
  end
  args = {randn(Np), randn(Nfp), faceToElement, twin_indices([Nfp, Nface], Np), ...
          twin_indices([Nfp, Nface], Np), bounded(twin_values([Nfp, Nface], 0.1, 2, 0.05)), ...
          bounded(twin_values([Np, K], 0.5, 2, 0.03))};
  for f = 1:fluxes
    args{end + 1} = bounded(twin_values([Nfp, Nface, Nfield], -2, 2, 0.03)); %#ok<AGROW>
  end
  kinds = [{'doubles', 'doubles', 'index', 'index', 'index', 'doubles', 'doubles'}, ...
           repmat({'doubles'}, 1, fluxes)];
end

function x = bounded(x)
  x(abs(x) > 1e100) = 7;
end
