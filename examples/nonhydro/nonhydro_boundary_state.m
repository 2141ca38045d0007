function [qP, open] = nonhydro_boundary_state(qM, nx, ny, codes, z, x, y, t, g, incident)
% NONHYDRO_BOUNDARY_STATE  State across the open boundary faces.
%
% qM (Nfp x n x >= 3: h, hu, hv) are the traces of n boundary faces, nx, ny
% their outward normals, codes their boundary codes (1 x n, nonhydro_operators),
% z, x, y the bed and the node coordinates there (Nfp x n), t the time and
% incident a function [eta, u, v] = incident(x, y, t) of the incident wave
% (surface and depth-averaged velocity), or [eta, u, v, celerity] =
% incident(x, y, t) with its phase speed too, or empty. qP (Nfp x n x 3) is the
% state across the open faces (codes 8, 9, 13; open is true there) and the
% element's own on the others.
%
% Characteristic condition of the linearised equations about the still depth
% d = -z, with c = sqrt(g d): the invariant leaving the domain,
% u_n + (c/d) eta, is the element's; the one entering, u_n - (c/d) eta, is
% the incident wave's (code 8) or still water's (9, 13: radiation). A wave
% that is all incident passes in unchanged; what leaves is absorbed exactly
% for long waves, and for a wave of phase speed C reflected by
% |C - c|/(C + c). Where the incident wave gives its phase speed, the faces
% of code 8 take it for c: a dispersive periodic wave then enters with its
% own ratio of velocity to surface, and what leaves at that speed is
% absorbed. The velocity along the face is the element's.
  open = ismember(codes, [8, 9, 13]);
  qP = qM(:, :, 1:3);
  if ~any(open)
    return;
  end
  nxo = nx(:, open);
  nyo = ny(:, open);
  d = -z(:, open);
  c = sqrt(g * d);
  h = qM(:, open, 1);
  u = qM(:, open, 2) ./ h;
  v = qM(:, open, 3) ./ h;
  un = u .* nxo + v .* nyo;
  ut = v .* nxo - u .* nyo;
  leaving = un + (c ./ d) .* (h - d);
  entering = zeros(size(d));
  wave = repmat(codes(open) == 8, size(d, 1), 1);
  if any(wave(:)) && ~isempty(incident)
    xo = x(:, open);
    yo = y(:, open);
    if abs(nargout(incident)) >= 4
      [eta, ui, vi, celerity] = incident(xo(wave), yo(wave), t);
      c(wave) = celerity;
      leaving(wave) = un(wave) + (c(wave) ./ d(wave)) .* (h(wave) - d(wave));
    else
      [eta, ui, vi] = incident(xo(wave), yo(wave), t);
    end
    entering(wave) = ui .* nxo(wave) + vi .* nyo(wave) - (c(wave) ./ d(wave)) .* eta;
  end
  unP = (leaving + entering) / 2;
  hP = d + (leaving - entering) .* d ./ (2 * c);
  qP(:, open, 1) = hP;
  qP(:, open, 2) = hP .* (unP .* nxo - ut .* nyo);
  qP(:, open, 3) = hP .* (unP .* nyo + ut .* nxo);
end
