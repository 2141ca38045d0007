function rhs = dg2d_rhs(q, z, meshes, kernels, g, thr, thinDepth)
% DG2D_RHS  Right-hand side of the 2d shallow-water equations in
% pre-balanced form, strong nodal DG, on the meshes that share the state q
% (Np x Kall x 3: h, hu, hv) over the bed z (Np x Kall).
%
% Per mesh: the volume fluxes E and G (prebalance_volume_flux_2d, pressure
% (g/2)(h^2 - z^2), nothing at dry nodes), the one-sided normal fluxes of both
% traces of every face (face_flux_2d), a local Lax-Friedrichs flux, and the
% surface term (inner_edge_strong_rhs). The bed source is -g*eta*grad(z):
% with the pressure (g/2)(h^2 - z^2) of the volume flux its gradient cancels
% at rest, to rounding, in every wet element (eta and z taken from the
% element's mean surface). In a partly wet element the flux has no pressure
% at the dry nodes, and in an element whose water is all thinner than
% thinDepth (default 0.05) the pressure and the source are far larger than
% the depth, so that their difference is mostly truncation error: there the
% node pressure P is taken out of E and G and the source is written as
% grad(P) - g*h*grad(eta), with eta at the dry nodes the mean surface of the
% wet ones (the emerged bed exerts no pressure); at rest the volume term is
% zero. (That form everywhere lets rounding grow where the depth varies
% steeply within an element; the pre-balanced one everywhere drives thin
% water over a steep bed too fast.)
% A wall mirrors the normal discharge; a face against another mesh takes the
% trace across from that mesh's part of q.
  if nargin < 7
    thinDepth = 0.05;
  end
  rhs = zeros(size(q));
  H = q(:, :, 1);
  HU = q(:, :, 2);
  HV = q(:, :, 3);
  for m = 1:numel(meshes)
    mesh = meshes{m};
    ref = mesh.ref;
    Np = mesh.Np;
    K = mesh.K;
    cols = mesh.offset + (1:K);
    h = H(:, cols);
    zb = z(:, cols);
    wet = h > thr;
    status = int8(4 + ~any(wet, 1));               % Wet 4, Dry 5 (no wet node)

    % Volume term: -(dE/dx + dG/dy) with the node pressure taken out, and
    % the bed source.
    % The bed is measured from each element's mean surface: any constant
    % datum gives the same equations, and this one keeps the pressure and
    % the source small where the water is thin over a high bed.
    eta = h + zb;
    datum = mean(eta, 1);
    [E, G] = kernels.prebalance_volume_flux_2d(thr, g, status, cat(3, q(:, cols, :), zb - datum));
    partly = find(any(wet, 1) & (any(~wet, 1) | max(h, [], 1) < thinDepth));
    if ~isempty(partly)
      w = wet(:, partly);
      zd = zb(:, partly) - datum(partly);
      P = ((0.5 * g) * (h(:, partly) .* h(:, partly) - zd .* zd)) .* w;
      E(:, partly, 2) = E(:, partly, 2) - P;
      G(:, partly, 3) = G(:, partly, 3) - P;
      e = eta(:, partly);
      e(~w) = 0;
      surface = sum(e, 1) ./ sum(w, 1);
      eta(:, partly) = e + surface .* ~w;
    end
    X = [reshape(E, Np, []), reshape(G, Np, []), eta, zb];
    Xr = ref.Dr * X;
    Xs = ref.Ds * X;
    n = 3 * K;
    dEdx = reshape(Xr(:, 1:n), Np, K, 3) .* mesh.rx + reshape(Xs(:, 1:n), Np, K, 3) .* mesh.sx;
    dGdy = reshape(Xr(:, n + 1:2 * n), Np, K, 3) .* mesh.ry + reshape(Xs(:, n + 1:2 * n), Np, K, 3) .* mesh.sy;
    c = 2 * n + (1:K);
    detadx = Xr(:, c) .* mesh.rx + Xs(:, c) .* mesh.sx;
    detady = Xr(:, c) .* mesh.ry + Xs(:, c) .* mesh.sy;
    c = 2 * n + K + (1:K);
    dzdx = Xr(:, c) .* mesh.rx + Xs(:, c) .* mesh.sx;
    dzdy = Xr(:, c) .* mesh.ry + Xs(:, c) .* mesh.sy;
    volume = -(dEdx + dGdy);
    % Bed source: -g*eta*grad(z) on the wet elements, -g*h*grad(eta) on the
    % partly wet ones (whose node pressure was taken out of E and G above).
    sx = (g * (eta - datum)) .* dzdx;
    sy = (g * (eta - datum)) .* dzdy;
    sx(:, partly) = (g * h(:, partly)) .* detadx(:, partly);
    sy(:, partly) = (g * h(:, partly)) .* detady(:, partly);
    volume(:, :, 2) = volume(:, :, 2) - sx .* wet;
    volume(:, :, 3) = volume(:, :, 3) - sy .* wet;

    % Traces on both sides of every face; a wall reflects the normal discharge.
    F = mesh.faces;
    nx = F.normalX;
    ny = F.normalY;
    hM = H(F.mapM);
    huM = HU(F.mapM);
    hvM = HV(F.mapM);
    hP = H(F.mapP);
    huP = HU(F.mapP);
    hvP = HV(F.mapP);
    wall = F.kind == 1;
    un = huP(:, wall) .* nx(:, wall) + hvP(:, wall) .* ny(:, wall);
    huP(:, wall) = huP(:, wall) - 2 * un .* nx(:, wall);
    hvP(:, wall) = hvP(:, wall) - 2 * un .* ny(:, wall);
    fluxM = kernels.face_flux_2d(thr, g, nx, ny, cat(3, hM, huM, hvM));
    fluxP = kernels.face_flux_2d(thr, g, nx, ny, cat(3, hP, huP, hvP));

    % Local Lax-Friedrichs flux; velocities count only above the threshold,
    % so a dry side brings its celerity alone.
    speedM = abs(huM .* nx + hvM .* ny) ./ max(hM, thr) .* (hM > thr) + sqrt(g * max(hM, 0));
    speedP = abs(huP .* nx + hvP .* ny) ./ max(hP, thr) .* (hP > thr) + sqrt(g * max(hP, 0));
    lambda = 0.5 * max(speedM, speedP);
    numerical = 0.5 * (fluxM + fluxP) - lambda .* cat(3, hP - hM, huP - huM, hvP - hvM);

    % Faces with no adjacent element in this mesh lift nothing into one.
    closed = F.kind ~= 0;
    fluxP(:, closed, :) = numerical(:, closed, :);
    surfaceTerm = kernels.inner_edge_strong_rhs(ref.invM, ref.faceMassMatrix, F.faceToElement, ...
        F.nodeLocal, F.nodeAdjacent, F.faceJacobian, mesh.J, fluxM, fluxP, numerical);
    rhs(:, cols, :) = volume + surfaceTerm;
  end
end
