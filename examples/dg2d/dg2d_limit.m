function q = dg2d_limit(q, z, domain, thr, shallowDepth, slopeLimiter)
% DG2D_LIMIT  The limiters applied after every Runge-Kutta stage, to the
% state q (Np x Kall x 3: h, hu, hv) over the bed z:
% 1. slope limiter (when slopeLimiter is true), on the elements whose nodes
%    are all wet: the surface eta = h + z, hu and hv are limited vertex by
%    vertex (Kuzmin's vertex-based limiter): the linear part is scaled about
%    the element mean so that its value at each vertex stays within the
%    means of the elements sharing that vertex; only where a vertex overshoots
%    by more than rounding (a lake at rest is left alone), and the limited
%    element keeps its linear part only;
% 2. positivity (Zhang-Shu): where a node is negative, the element's depth
%    and discharges are scaled about their means by the largest factor that
%    leaves no node negative; the means, and so the mass, are kept (a mean
%    below zero, which only rounding leaves, becomes zero). From N = 2 on
%    the depth is also kept non-negative at points inside the element: the
%    vertices weigh nothing in the mean there, and water left at a vertex
%    over an empty element (its interpolant negative inside) flows out of
%    it, takes the mean below zero and, set to zero, adds mass;
% 3. elements with a node shallower than shallowDepth move at one velocity,
%    and nodes at or below the dry threshold carry no discharge.
  h = q(:, :, 1);
  w = domain.weights / sum(domain.weights);
  if slopeLimiter
    wet = all(h > thr, 1);
    fields = {h + z, q(:, :, 2), q(:, :, 3)};
    for p = 1:3
      fields{p}(:, wet) = limit_vertex(fields{p}(:, wet), domain, wet, w);
    end
    h = fields{1} - z;
    q(:, :, 2) = fields{2};
    q(:, :, 3) = fields{3};
  end

  hbar = w' * h;
  hmin = min(h, [], 1);
  if ~isempty(domain.interiorInterp)
    hmin = min(hmin, min(domain.interiorInterp * h, [], 1));
  end
  scale = find(hmin < 0);
  if ~isempty(scale)
    % A mean below zero (by rounding) takes the whole element to zero.
    theta = max(hbar(scale), 0) ./ (hbar(scale) - hmin(scale));
    h(:, scale) = hbar(scale) + theta .* (h(:, scale) - hbar(scale));
    for p = 2:3
      u = q(:, scale, p);
      ubar = w' * u;
      q(:, scale, p) = ubar + theta .* (u - ubar);
    end
    % The node that reached zero may land a rounding error below it.
    h(:, scale) = max(h(:, scale), 0);
  end
  q(:, :, 1) = h;

  % Shallow elements move at one velocity: in an element with a node below
  % shallowDepth the discharge becomes h times the element's mean velocity
  % (mean discharge over mean depth of its wet nodes), which keeps its
  % momentum and bounds the velocity at its shallowest nodes; dry nodes
  % carry no discharge.
  wet = h > thr;
  shallow = find(any(h < shallowDepth, 1));
  if ~isempty(shallow)
    hWet = h(:, shallow) .* wet(:, shallow);
    meanWet = w' * hWet;
    some = meanWet > thr;
    for p = 2:3
      u = zeros(1, numel(shallow));
      u(some) = (w' * q(:, shallow(some), p)) ./ meanWet(some);
      q(:, shallow, p) = hWet .* u;
    end
  end
  dry = h <= thr;
  hu = q(:, :, 2);
  hv = q(:, :, 3);
  hu(dry) = 0;
  hv(dry) = 0;
  q(:, :, 2) = hu;
  q(:, :, 3) = hv;
end

function u = limit_vertex(u, domain, elements, w)
  ubar = w' * u;
  V = domain.EToV(:, elements);
  % Bounds at every vertex from the means of the limited elements around it
  % (vertexElements pads with Kall + 1, whose NaN max and min pass over).
  means = nan(1, size(domain.EToV, 2) + 1);
  means(elements) = ubar;
  around = means(domain.vertexElements);
  top = max(around, [], 2);
  bottom = min(around, [], 2);
  % Linear part: the mean gradient about the centroid.
  x = domain.x(:, elements);
  y = domain.y(:, elements);
  ur = domain.Dr * u;
  us = domain.Ds * u;
  ux = w' * (ur .* domain.rx(elements) + us .* domain.sx(elements));
  uy = w' * (ur .* domain.ry(elements) + us .* domain.sy(elements));
  xv = x(domain.vertexNodes, :) - w' * x;
  yv = y(domain.vertexNodes, :) - w' * y;
  d = ux .* xv + uy .* yv;                         % linear part at the vertices, minus the mean
  T = reshape(top(V), 3, []) - ubar;               % room above the mean, >= 0
  B = reshape(bottom(V), 3, []) - ubar;            % room below it, <= 0
  tol = 1e-12 * max(1, abs(ubar));
  over = d > T + tol | d < B - tol;
  allowed = T;
  allowed(d < 0) = B(d < 0);
  alpha = ones(size(d));
  alpha(over) = allowed(over) ./ d(over);
  alpha = min(min(alpha, [], 1), 1);
  limit = any(over, 1);
  if any(limit)
    u(:, limit) = ubar(limit) + alpha(limit) .* (ux(limit) .* (x(:, limit) - w' * x(:, limit)) ...
                                               + uy(limit) .* (y(:, limit) - w' * y(:, limit)));
  end
end
