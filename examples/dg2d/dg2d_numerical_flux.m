function numerical = dg2d_numerical_flux(flux, qM, qP, fluxM, fluxP, nx, ny, g, thr)
% DG2D_NUMERICAL_FLUX  Numerical normal flux (Nfp x Nf x 3) between the
% traces qM and qP (h, hu, hv pages) with their one-sided normal fluxes
% fluxM, fluxP, along the normal (nx, ny) out of the M side. Velocities count
% only above the dry threshold thr.
%
% 'llf': local Lax-Friedrichs, half the larger of |u.n| + c of the two
% sides, so a dry side brings its celerity alone.
% 'hll': HLL with the speeds sM = min(uM - cM, uP - cP), sP = max(uM + cM,
% uP + cP) of the wet sides; against a dry side the front runs at
% u + 2c of the wet one (sP = uM + 2 cM for a dry P side, sM = uP - 2 cP for
% a dry M side). Written about the mean flux, so equal traces give their
% flux exactly (a lake at rest stays at rest to rounding).
  hM = qM(:, :, 1);
  hP = qP(:, :, 1);
  wetM = hM > thr;
  wetP = hP > thr;
  unM = (qM(:, :, 2) .* nx + qM(:, :, 3) .* ny) ./ max(hM, thr) .* wetM;
  unP = (qP(:, :, 2) .* nx + qP(:, :, 3) .* ny) ./ max(hP, thr) .* wetP;
  cM = sqrt(g * max(hM, 0));
  cP = sqrt(g * max(hP, 0));
  switch flux
    case 'llf'
      lambda = 0.5 * max(abs(unM) + cM, abs(unP) + cP);
      numerical = 0.5 * (fluxM + fluxP) - lambda .* (qP - qM);
    case 'hll'
      sM = min(unM - cM, unP - cP);
      sP = max(unM + cM, unP + cP);
      sM(~wetM) = unP(~wetM) - 2 * cP(~wetM);
      sP(~wetP) = unM(~wetP) + 2 * cM(~wetP);
      sM = min(sM, 0);
      sP = max(sP, 0);
      span = sP - sM;
      span(span == 0) = 1;                             % both sides dry: no flux
      numerical = 0.5 * (fluxM + fluxP) - (0.5 * (sP + sM) ./ span) .* (fluxP - fluxM) ...
                  + (sM .* sP ./ span) .* (qP - qM);
    otherwise
      error('dg2d_numerical_flux:flux', 'Unknown numerical flux %s (llf or hll).', flux);
  end
end
