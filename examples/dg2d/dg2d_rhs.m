function rhs = dg2d_rhs(q, bed, meshes, kernels, g, thr, thinDepth, flux, exterior)
% DG2D_RHS  Right-hand side of the 2d shallow-water equations in
% pre-balanced form, strong nodal DG, on the meshes that share the state q
% (Np x Kall x 3: h, hu, hv) over the bed (dg2d_bed, or the bed z itself,
% Np x Kall).
%
% Per mesh: the volume fluxes E and G (prebalance_volume_flux_2d, pressure
% (g/2)(h^2 - z^2), nothing at dry nodes), the one-sided normal fluxes of both
% traces of every face (face_flux_2d), a numerical flux (flux 'llf', the
% default: local Lax-Friedrichs; 'hll': HLL with the wet/dry speeds of a
% dry bed), and the surface term (inner_edge_strong_rhs). The bed source is
% -g*eta*grad(z): with the pressure (g/2)(h^2 - z^2) of the volume flux its
% gradient cancels at rest, to rounding, in every wet element (eta and z taken
% from the element's mean surface). In a partly wet element the flux has no
% pressure at the dry nodes, and in an element whose water is all thinner than
% thinDepth (default 0.2) the pressure and the source are far larger than the
% depth, so that their difference is mostly truncation error: there the
% element is PressureFree (the flux carries no pressure) and the source is
% written as -g*h*grad(eta), whose force is exact for a plane surface (the
% pressure interpolated at the nodes is not, and its error damps a sloshing
% basin). At the dry nodes of a partly wet element eta is the wet surface
% carried on to them: the plane fitted to the surface at the wet nodes of the
% element and of its neighbours, but never above the bed there. A flat
% surface, at rest, stays flat, so the volume term is zero; a sloping one, as
% at a receding or advancing shore, keeps its slope and its force up to the
% dry nodes. (The -g*h*grad(eta) form in deep water lets the rounding of
% eta = h + z grow over many steps; the pre-balanced one in thin water drives
% it over a steep bed too fast.)
% A wall mirrors the normal discharge; a face against another mesh takes the
% trace across from that mesh's part of q. exterior (optional, a function
% handle) opens boundary faces: [qP, open] = exterior(m, faces, qM, nx, ny)
% gets the traces qM (Nfp x n x 3) and normals of the boundary faces of
% mesh m (faces: their columns in mesh.faces) and returns the state across
% and which of them it gives (1 x n logical); the other faces stay walls.
%
% Work is skipped where its result is exactly zero: the volume term of an
% element with no wet node (no flux, no source), and every face whose two
% elements hold zero depth and discharge at all their nodes (both traces and
% the numerical flux vanish).
  if nargin < 7
    thinDepth = 0.2;
  end
  if nargin < 8
    flux = 'llf';
  end
  if nargin < 9
    exterior = [];
  end
  if ~isstruct(bed)
    bed = dg2d_bed(bed, meshes);
  end
  [Np, Kall, ~] = size(q);
  Q = reshape(q, Np * Kall, 3);
  wetAll = q(:, :, 1) > thr;
  nonzero = any(any(q ~= 0, 1), 3);
  single = numel(meshes) == 1;
  if ~single
    rhs = zeros(size(q));
  end
  for m = 1:numel(meshes)
    mesh = meshes{m};
    ref = mesh.ref;
    K = mesh.K;
    cols = mesh.offset + (1:K);

    % Surface term on the faces that carry anything.
    F = mesh.faces;
    Nfp = size(F.mapM, 1);
    active = find(nonzero(F.elementM) | nonzero(F.elementP));
    if numel(active) < numel(F.kind)
      for name = {'mapM', 'mapP', 'normalX', 'normalY', 'kind', 'faceToElement', 'nodeLocal', ...
                  'nodeAdjacent', 'faceJacobian'}
        F.(name{1}) = F.(name{1})(:, active);
      end
    end
    Nf = size(F.mapM, 2);
    nx = F.normalX;
    ny = F.normalY;
    qM = reshape(Q(F.mapM, :), Nfp, Nf, 3);
    qP = reshape(Q(F.mapP, :), Nfp, Nf, 3);
    wall = find(F.kind == 1);
    if ~isempty(wall)
      % A wall reflects the normal discharge.
      un = qP(:, wall, 2) .* nx(:, wall) + qP(:, wall, 3) .* ny(:, wall);
      qP(:, wall, 2) = qP(:, wall, 2) - 2 * un .* nx(:, wall);
      qP(:, wall, 3) = qP(:, wall, 3) - 2 * un .* ny(:, wall);
      if ~isempty(exterior)
        % Open boundary faces take the state the caller gives across them.
        faces = 1:numel(mesh.faces.kind);
        if numel(active) < numel(mesh.faces.kind)
          faces = active;
        end
        [state, open] = exterior(m, faces(wall), qM(:, wall, :), nx(:, wall), ny(:, wall));
        qP(:, wall(open), :) = state(:, open, :);
      end
    end
    fluxM = kernels.face_flux_2d(thr, g, nx, ny, qM);
    fluxP = kernels.face_flux_2d(thr, g, nx, ny, qP);
    numerical = dg2d_numerical_flux(flux, qM, qP, fluxM, fluxP, nx, ny, g, thr);
    % Faces with no adjacent element in this mesh lift nothing into one.
    closed = F.kind ~= 0;
    fluxP(:, closed, :) = numerical(:, closed, :);
    part = kernels.inner_edge_strong_rhs(ref.invM, ref.faceMassMatrix, F.faceToElement, ...
        F.nodeLocal, F.nodeAdjacent, F.faceJacobian, mesh.J, fluxM, fluxP, numerical);

    % Volume term, -(dE/dx + dG/dy) = -(Dr (E rx + G ry) + Ds (E sx + G sy)),
    % and the bed source, on the elements with a wet node.
    V = find(any(wetAll(:, cols), 1));
    if ~isempty(V)
      k = cols(V);
      w = wetAll(:, k);
      h = q(:, k, 1);
      zb = bed.z(:, k);
      % The bed is measured from each element's mean surface: any constant
      % datum gives the same equations, and this one keeps the pressure and
      % the source small where the water is thin over a high bed.
      eta = h + zb;
      datum = sum(eta, 1) / Np;
      thin = any(~w, 1) | max(h, [], 1) < thinDepth;
      status = int8(4 + 3 * thin);                   % Wet 4, PressureFree 7
      [E, G] = kernels.prebalance_volume_flux_2d(thr, g, status, cat(3, q(:, k, :), zb - datum));
      rx = mesh.rx(V);
      sx = mesh.sx(V);
      ry = mesh.ry(V);
      sy = mesh.sy(V);
      volume = -(ref.Dr * reshape(E .* rx + G .* ry, Np, []) + ref.Ds * reshape(E .* sx + G .* sy, Np, []));
      volume = reshape(volume, Np, numel(V), 3);
      % Bed source: -g*eta*grad(z) on the wet elements, -g*h*grad(eta) on the
      % thin ones.
      ge = g * (eta - datum);
      sourceX = ge .* bed.dzdx(:, k);
      sourceY = ge .* bed.dzdy(:, k);
      T = find(thin);
      if ~isempty(T)
        e = surface_at_dry_nodes(eta(:, T), w(:, T), zb(:, T), k(T), mesh, bed, q, thr);
        er = ref.Dr * e;
        es = ref.Ds * e;
        gh = g * h(:, T);
        sourceX(:, T) = gh .* (er .* rx(T) + es .* sx(T));
        sourceY(:, T) = gh .* (er .* ry(T) + es .* sy(T));
      end
      volume(:, :, 2) = volume(:, :, 2) - sourceX .* w;
      volume(:, :, 3) = volume(:, :, 3) - sourceY .* w;
      part(:, V, :) = part(:, V, :) + volume;
    end
    if single
      rhs = part;
    else
      rhs(:, cols, :) = part;
    end
  end
end

function e = surface_at_dry_nodes(e, w, zb, k, mesh, bed, q, thr)
  % e, w, zb: surface, wet nodes and bed of thin elements at columns k of the
  % state, all in the given mesh. In each partly wet one the wet nodes of the
  % element and of the elements sharing a vertex with it are fitted by a plane
  % (least squares about their centre; flat where they lie too close to a
  % line for a well-conditioned fit), which is carried to the dry nodes, but
  % never above the bed.
  partly = find(any(~w, 1));
  if isempty(partly)
    return;
  end
  local = k(partly) - mesh.offset;
  nodes = mesh.patchNodes(:, local);
  hp = q(nodes);
  wp = hp > thr & mesh.patchCounted(:, local);
  x = mesh.patchX(:, local);
  y = mesh.patchY(:, local);
  ep = hp + bed.z(nodes);
  count = sum(wp, 1);
  xc = sum(x .* wp, 1) ./ count;
  yc = sum(y .* wp, 1) ./ count;
  ec = sum(ep .* wp, 1) ./ count;
  dx = (x - xc) .* wp;
  dy = (y - yc) .* wp;
  de = (ep - ec) .* wp;
  a = sum(dx .* dx, 1);
  b = sum(dx .* dy, 1);
  c = sum(dy .* dy, 1);
  det = a .* c - b .* b;
  plane = det > 0.05 * (a + c) .^ 2;
  det(~plane) = 1;
  fx = sum(dx .* de, 1);
  fy = sum(dy .* de, 1);
  gx = (c .* fx - b .* fy) ./ det .* plane;
  gy = (a .* fy - b .* fx) ./ det .* plane;
  Np = size(e, 1);
  carried = ec + gx .* (x(1:Np, :) - xc) + gy .* (y(1:Np, :) - yc);
  own = e(:, partly);
  dry = ~w(:, partly);
  zp = zb(:, partly);
  own(dry) = min(zp(dry), carried(dry));
  e(:, partly) = own;
end
