function result = dam_break_1d_solve(K, varargin)
% DAM_BREAK_1D_SOLVE  Dam break over a dry bed, 1d shallow water on a flat bed,
% nodal discontinuous Galerkin with the compiled kernels.
%
%   result = dam_break_1d_solve(K) solves on K elements with the default set-up;
%   result = dam_break_1d_solve(K, 'name', value, ...) changes it:
%     'order'         polynomial order N of the elements (default 1)
%     'channelLength' length of the channel, walls at both ends (default 1000 m)
%     'damPosition'   x0 of the dam (default 500 m)
%     'damDepth'      depth h0 held by the dam (default 10 m); dry bed beyond it
%     'gravity'       g (default 9.81 m/s^2)
%     'finalTime'     T (default 20 s; the waves must not reach the walls)
%     'dryThreshold'  depth at or below which a node is dry (default 1e-6 m)
%     'cfl'           fraction of the positivity-preserving step (default 0.9)
%     'maxSteps'      time steps allowed before giving up (default 1e6)
%     'output'        NetCDF and VTK files of h, hu and eta during the run
%                     (default [], none): a struct such as struct('netcdf',
%                     'run.nc', 'vtk', 'run', 'every', 2), see output_options
%                     in examples/common
%     'progress'      seconds between progress lines (default false, none)
% An option the solver cannot run with, an output file that cannot be written
% or output times outside the run end the call before any work with a
% dam_break_1d_solve:<option> or output_options:<reason> error.
%
% The scheme: Legendre-Gauss-Lobatto nodes, strong form, third-order SSP
% Runge-Kutta. After every stage a minmod slope limiter, a positivity limiter
% (each element's nodal depths scaled about their mean, Zhang-Shu) and no
% discharge at dry nodes. The step keeps every element's mean depth
% non-negative.
% The kernels compute the volume flux (wd_volume_flux_1d), the one-sided face
% fluxes (face_flux_1d), the faces at the wet/dry front (wet_dry_face_1d) and
% the surface term of the right-hand side (inner_edge_strong_rhs); the HLL
% numerical flux, the limiters, the walls and the time loop are here.
%
% result holds x, h, hu (Np x K nodal values at T), exactDepth (the Ritter
% solution as a function of x at T), l1Error (of the depth against it),
% massChange ((mass(T) - mass(0)) / mass(0); the plain change if there is no
% water), minDepth (smallest nodal depth over every stage of the run), steps,
% finalTime, wallTime (s), K, order and the options used.

  opt = struct('order', 1, 'channelLength', 1000, 'damPosition', 500, 'damDepth', 10, ...
               'gravity', 9.81, 'finalTime', 20, 'dryThreshold', 1e-6, 'cfl', 0.9, ...
               'maxSteps', 1e6, 'output', [], 'progress', false);
  for i = 1:2:numel(varargin)
    if ~isfield(opt, varargin{i})
      error('dam_break_1d_solve:unknownOption', 'Unknown option %s.', varargin{i});
    end
    opt.(varargin{i}) = varargin{i + 1};
  end
  addpath(fullfile(fileparts(mfilename('fullpath')), 'common'));
  check_options(K, opt);
  output_options(opt.output, opt.finalTime);
  c0 = sqrt(opt.gravity * opt.damDepth);
  if opt.damPosition - c0 * opt.finalTime < 0 || opt.damPosition + 2 * c0 * opt.finalTime > opt.channelLength
    error('dam_break_1d_solve:wavesReachWalls', ...
          'The waves reach a wall before t = %g s; the exact solution would no longer hold.', opt.finalTime);
  end
  started = tic;

  mesh = build_mesh(K, opt.order, opt.channelLength);
  kernels = load_kernels();
  g = opt.gravity;
  thr = opt.dryThreshold;

  % Dam at rest: depth h0 left of x0, dry bed right of it (nodes at x0 itself
  % belong to the element on their side, so an element face at x0 is exact).
  x = mesh.x;
  centre = repmat(mean(x, 1), mesh.Np, 1);
  h = opt.damDepth * (x < opt.damPosition | (x == opt.damPosition & centre < opt.damPosition));
  q = cat(3, h, zeros(size(h)));
  q = postprocess(q, mesh, thr);
  mass0 = total_mass(q, mesh);
  minDepth = smallest_depth(q);
  writer = output_open(opt.output, opt.finalTime, output_grid_lines(mesh.x, mesh.r, mesh.weights), ...
                       zeros(size(x)), struct('nodal', {{'h', 'hu', 'eta'}}, 'layered', {{}}), ...
                       struct('title', 'Dam break onto a dry bed', 'source', sprintf( ...
                              'examples/dam_break_1d_solve: nodal DG of order %d on %d elements', ...
                              opt.order, K)));
  progress = progress_start(opt.progress, opt.finalTime, 'dam_break_1d_solve');

  % SSP Runge-Kutta, third order: convex combinations of forward-Euler steps,
  % each followed by the limiters, so the step that keeps the means
  % non-negative for one Euler step keeps them so for the whole scheme.
  t = 0;
  steps = 0;
  stops = [writer.times(writer.times > 0), opt.finalTime];
  writer = write_due(writer, t, q);
  while t < opt.finalTime
    dt = min(time_step(q, mesh, opt), stops(find(stops > t, 1)) - t);
    q1 = postprocess(q + dt * rhs(q, mesh, kernels, g, thr), mesh, thr);
    q2 = postprocess(0.75 * q + 0.25 * (q1 + dt * rhs(q1, mesh, kernels, g, thr)), mesh, thr);
    q = postprocess(q / 3 + (2 / 3) * (q2 + dt * rhs(q2, mesh, kernels, g, thr)), mesh, thr);
    minDepth = min([minDepth, smallest_depth(q1), smallest_depth(q2), smallest_depth(q)]);
    t = t + dt;
    steps = steps + 1;
    if ~all(isfinite(q(:)))
      error('dam_break_1d_solve:diverged', 'The solution is no longer finite at t = %g s (step %d).', t, steps);
    end
    if steps >= opt.maxSteps && t < opt.finalTime
      error('dam_break_1d_solve:tooManySteps', 'Only at t = %g s after %d steps (last step %g s).', t, steps, dt);
    end
    writer = write_due(writer, t, q);
    progress = progress_report(progress, t, steps, dt, @() (total_mass(q, mesh) - mass0) / mass0);
  end

  exact = @(xs) ritter_depth(xs, t, opt.damPosition, opt.damDepth, g);
  massChange = total_mass(q, mesh) - mass0;
  if mass0 > 0
    massChange = massChange / mass0;
  end
  result = struct('x', x, 'h', q(:, :, 1), 'hu', q(:, :, 2), 'exactDepth', exact, ...
                  'l1Error', l1_error(q(:, :, 1), mesh, exact), ...
                  'massChange', massChange, ...
                  'minDepth', minDepth, 'steps', steps, 'finalTime', t, ...
                  'K', K, 'order', opt.order, 'options', opt, 'wallTime', toc(started));
end

function mesh = build_mesh(K, N, channelLength)
  % Uniform elements on [0, channelLength], Np = N + 1 Gauss-Lobatto nodes each.
  [r, w] = gauss_lobatto(N);
  Np = N + 1;
  [V, Vr] = legendre_vandermonde(N, r);
  dx = channelLength / K;
  mesh.Np = Np;
  mesh.K = K;
  mesh.N = N;
  mesh.dx = dx;
  mesh.r = r;
  mesh.V = V;
  mesh.weights = w / 2;                     % mean of a field = weights' * nodal values
  mesh.Dr = Vr / V;
  mesh.invM = V * V';                       % inverse of the reference mass matrix
  mesh.x = dx * (0:K - 1) + (r + 1) * (dx / 2);
  mesh.J = (dx / 2) * ones(Np, K);          % dx/dr at every node
  mesh.rx = 1 ./ mesh.J;

  % Faces left to right, K + 1 of them. The inner face between elements k and
  % k + 1 has k on its local side (normal +1, last node) and k + 1 on its
  % adjacent side (first node). The two walls have only a local side: element
  % 1 with normal -1 and element K with normal +1; their adjacent side names
  % the same element and node, and its state is the mirror image (see rhs).
  mesh.Nface = K + 1;
  mesh.faceToElement = [1, 1:K; 1, 2:K, K];
  mesh.faceToNodeLocal = [1, Np * ones(1, K)];
  mesh.faceToNodeAdjacent = [1, ones(1, K - 1), Np];
  mesh.normalX = [-1, ones(1, K)];
  mesh.wall = [true, false(1, K - 1), true];
  mesh.nodeLocal = (mesh.faceToElement(1, :) - 1) * Np + mesh.faceToNodeLocal;
  mesh.nodeAdjacent = (mesh.faceToElement(2, :) - 1) * Np + mesh.faceToNodeAdjacent;
  mesh.faceMassMatrix = 1;                  % a 1d face is a single node
  mesh.faceJacobian = ones(1, mesh.Nface);
end

function [r, w] = gauss_lobatto(N)
  % Legendre-Gauss-Lobatto nodes on [-1, 1] (ends and the roots of P_N') and
  % weights, by Newton's method from the Chebyshev-Lobatto points.
  r = -cos(pi * (0:N)' / N);
  P = zeros(N + 1, N + 1);
  for iteration = 1:100
    P(:, 1) = 1;
    P(:, 2) = r;
    for n = 2:N
      P(:, n + 1) = ((2 * n - 1) * r .* P(:, n) - (n - 1) * P(:, n - 1)) / n;
    end
    update = (r .* P(:, N + 1) - P(:, N)) ./ ((N + 1) * P(:, N + 1));
    r = r - update;
    if max(abs(update)) < 1e-15
      break;
    end
  end
  w = 2 ./ (N * (N + 1) * P(:, N + 1) .^ 2);
end

function [V, Vr] = legendre_vandermonde(N, r)
  % Orthonormal Legendre polynomials and their derivatives at the points r.
  P = zeros(numel(r), N + 1);
  dP = zeros(numel(r), N + 1);
  P(:, 1) = 1;
  if N > 0
    P(:, 2) = r;
    dP(:, 2) = 1;
  end
  for n = 2:N
    P(:, n + 1) = ((2 * n - 1) * r .* P(:, n) - (n - 1) * P(:, n - 1)) / n;
    dP(:, n + 1) = dP(:, n - 1) + (2 * n - 1) * P(:, n);
  end
  scale = sqrt(((0:N) + 0.5));
  V = P .* scale;
  Vr = dP .* scale;
end
function check_options(K, opt)
  % Each option a value the solver can run with, before any work.
  scalar = @(v) isnumeric(v) && isscalar(v) && isreal(v) && isfinite(v);
  rules = {'order', @(v) scalar(v) && v >= 1 && v == round(v), 'a whole number >= 1'; ...
           'channelLength', @(v) scalar(v) && v > 0, 'a positive length'; ...
           'damPosition', @(v) scalar(v) && v > 0 && v < opt.channelLength, 'inside the channel'; ...
           'damDepth', @(v) scalar(v) && v > 0, 'a positive depth'; ...
           'gravity', @(v) scalar(v) && v > 0, 'a positive number'; ...
           'finalTime', @(v) scalar(v) && v >= 0, 'a number of seconds >= 0'; ...
           'dryThreshold', @(v) scalar(v) && v >= 0, 'a number >= 0'; ...
           'cfl', @(v) scalar(v) && v > 0, 'a positive number'; ...
           'maxSteps', @(v) isnumeric(v) && isscalar(v) && v > 0, 'a positive number'; ...
           'progress', @(v) (islogical(v) || isnumeric(v)) && isscalar(v) && v >= 0, ...
           'false or a number of seconds'};
  if ~(isnumeric(K) && isscalar(K) && K >= 1 && K == round(K))
    error('dam_break_1d_solve:K', 'K must be a whole number of elements >= 1.');
  end
  for i = 1:size(rules, 1)
    if ~rules{i, 2}(opt.(rules{i, 1}))
      error(['dam_break_1d_solve:' rules{i, 1}], '%s must be %s.', rules{i, 1}, rules{i, 3});
    end
  end
end

function writer = write_due(writer, t, q)
  % The state to the output files if t is the next output time.
  if writer.active && writer.written < numel(writer.times) && t == writer.times(writer.written + 1)
    writer = output_write(writer, t, struct('h', q(:, :, 1), 'hu', q(:, :, 2), 'eta', q(:, :, 1)));
  end
end

function kernels = load_kernels()
  % Handles to the modules, each taken inside the private folder of its class
  % (read from modules.txt): a handle keeps its binding after the folder is
  % left, so the time loop does not change directory on every call.
  root = fileparts(fileparts(mfilename('fullpath')));
  % The checks of the plain-M twins, which stand in for modules not built.
  addpath(fullfile(root, 'mframe'));
  % Folders added to the path by a relative name would be lost at the cd below.
  path_absolute();
  text = fileread(fullfile(root, 'modules.txt'));
  names = {'wd_volume_flux_1d', 'face_flux_1d', 'wet_dry_face_1d', 'inner_edge_strong_rhs'};
  kernels = struct();
  for i = 1:numel(names)
    row = regexp(text, ['(?m)^' names{i} '\s+(\S+)'], 'tokens', 'once');
    folder = fullfile(root, row{1});
    old = cd(folder);
    found = exist(names{i}, 'file');
    kernels.(names{i}) = str2func(names{i});
    cd(old);
    if ~found
      error('dam_break_1d_solve:moduleMissing', ...
            'Module %s is not built in %s; run build_mex first.', names{i}, folder);
    end
  end
end

function L = rhs(q, mesh, kernels, g, thr)
  % Strong-form right-hand side: -dF/dx in every element plus the lifted jumps
  % between each side's face flux and the numerical flux.
  Np = mesh.Np;
  K = mesh.K;
  h = q(:, :, 1);
  hu = q(:, :, 2);

  % An element is dry when no node holds more than the threshold; its volume
  % flux is then zero. Every other element is wet.
  cellStatus = int8(4 * ones(1, K));
  cellStatus(all(h <= thr, 1)) = 5;

  F = kernels.wd_volume_flux_1d(thr, g, cellStatus, cat(3, h, hu, zeros(Np, K)));
  volume = -reshape(mesh.Dr * reshape(F, Np, 2 * K), Np, K, 2) .* mesh.rx;

  % Traces on both sides of each face; the wall's adjacent state mirrors the
  % local one (same depth, opposite discharge), so no mass crosses a wall.
  hM = h(mesh.nodeLocal);
  huM = hu(mesh.nodeLocal);
  hP = h(mesh.nodeAdjacent);
  huP = hu(mesh.nodeAdjacent);
  huP(mesh.wall) = -huP(mesh.wall);
  Nface = mesh.Nface;
  fluxLocal = kernels.face_flux_1d(thr, g, mesh.normalX, reshape([hM, huM], 1, Nface, 2));
  fluxAdjacent = kernels.face_flux_1d(thr, g, mesh.normalX, reshape([hP, huP], 1, Nface, 2));
  front = kernels.wet_dry_face_1d(cellStatus, mesh.faceToElement) == 1;
  numericalFlux = hll_flux(hM, huM, hP, huP, fluxLocal, fluxAdjacent, mesh.normalX, front, g, thr);

  % A wall has no adjacent element: its adjacent flux is set to the numerical
  % flux, so the jump lifted into the adjacent side is zero.
  fluxAdjacent(:, mesh.wall, :) = numericalFlux(:, mesh.wall, :);
  surface = kernels.inner_edge_strong_rhs(mesh.invM, mesh.faceMassMatrix, mesh.faceToElement, ...
      mesh.faceToNodeLocal, mesh.faceToNodeAdjacent, mesh.faceJacobian, mesh.J, ...
      fluxLocal, fluxAdjacent, numericalFlux);
  L = volume + surface;
end

function flux = hll_flux(hM, huM, hP, huP, fluxM, fluxP, nx, front, g, thr)
  % HLL flux along the local normal nx, from the local (M) and adjacent (P)
  % traces and their normal fluxes. Velocities count only above the dry
  % threshold. Between wet elements the signal speeds are the extreme
  % eigenvalues of the two states; on a face at the wet/dry front they also
  % take in the speed u + 2c at which water runs onto a dry bed, from either
  % side. Both keep sL <= un(M) and sR >= un(P), so the intermediate depth is
  % non-negative.
  unM = velocity(hM, huM, thr) .* nx;
  unP = velocity(hP, huP, thr) .* nx;
  cM = sqrt(g * hM);
  cP = sqrt(g * hP);
  sL = min(unM - cM, unP - cP);
  sR = max(unM + cM, unP + cP);
  sL(front) = min(unM(front) - cM(front), unP(front) - 2 * cP(front));
  sR(front) = max(unP(front) + cP(front), unM(front) + 2 * cM(front));

  jump = reshape([hP - hM, huP - huM], 1, numel(hM), 2);
  flux = (sR .* fluxM - sL .* fluxP + (sL .* sR) .* jump) ./ (sR - sL);
  upwindLocal = sL >= 0;
  upwindAdjacent = sR <= 0 & ~upwindLocal;
  flux(:, upwindLocal, :) = fluxM(:, upwindLocal, :);
  flux(:, upwindAdjacent, :) = fluxP(:, upwindAdjacent, :);
end

function u = velocity(h, hu, thr)
  u = zeros(size(h));
  wet = h > thr;
  u(wet) = hu(wet) ./ h(wet);
end

function dt = time_step(q, mesh, opt)
  % The element mean after an Euler step is a convex combination of
  % first-order HLL updates on sub-cells as narrow as the end-node weight
  % times dx; it stays non-negative while no HLL wave (at most |u| + 2c)
  % crosses half such a sub-cell.
  h = q(:, :, 1);
  speed = abs(velocity(h, q(:, :, 2), opt.dryThreshold)) + 2 * sqrt(opt.gravity * h);
  dt = opt.cfl * mesh.weights(1) * mesh.dx / (2 * max(speed(:)));
end

function q = postprocess(q, mesh, thr)
  q = slope_limit(q, mesh);
  q = positivity_limit(q, mesh);
  q = dry_node_discharge(q, mesh, thr);
end

function q = dry_node_discharge(q, mesh, thr)
  % A node at or below the dry threshold carries no discharge: the volume flux
  % has none there, and the face flux of that node must agree with it or mass
  % would not be conserved. In an element with such nodes the discharge is
  % spread over its wet nodes at one velocity, which keeps the element's
  % momentum and bounds the velocity at its shallow nodes.
  h = q(:, :, 1);
  hu = q(:, :, 2);
  wet = h > thr;
  front = find(any(~wet, 1));
  if ~isempty(front)
    hWet = h(:, front) .* wet(:, front);
    meanWet = mesh.weights' * hWet;
    u = zeros(size(meanWet));
    some = meanWet > 0;
    u(some) = (mesh.weights' * hu(:, front(some))) ./ meanWet(some);
    hu(:, front) = hWet .* u;
    q(:, :, 2) = hu;
  end
end

function q = slope_limit(q, mesh)
  % Minmod limiter on h and hu. An element whose end values stray from its
  % mean by more than half the difference to a neighbouring mean (or against
  % its sign) is replaced by its mean plus the minmod of its own slope and the
  % slopes to the neighbouring means. Half the difference, not the whole: a
  % whole one lets an element hold a stationary jump across the sonic point of
  % the rarefaction. The walls mirror the end elements' means.
  Np = mesh.Np;
  mirror = [1, -1];
  for p = 1:2
    u = q(:, :, p);
    ubar = mesh.weights' * u;
    left = [mirror(p) * ubar(1), ubar(1:end - 1)];
    right = [ubar(2:end), mirror(p) * ubar(end)];
    dMinus = ubar - left;
    dPlus = right - ubar;
    endL = ubar - minmod(ubar - u(1, :), dMinus / 2, dPlus / 2);
    endR = ubar + minmod(u(Np, :) - ubar, dMinus / 2, dPlus / 2);
    tol = 1e-12 * max(1, max(abs(ubar)));
    limit = abs(endL - u(1, :)) > tol | abs(endR - u(Np, :)) > tol;
    if any(limit)
      % Slope of the element's linear part (its first two Legendre modes).
      modes = mesh.V \ u(:, limit);
      linearPart = mesh.Dr * (mesh.V(:, 1:2) * modes(1:2, :));
      slope = linearPart(1, :) * (2 / mesh.dx);
      slope = minmod(slope, dMinus(limit) / mesh.dx, dPlus(limit) / mesh.dx);
      u(:, limit) = ubar(limit) + (mesh.r * (mesh.dx / 2)) * slope;
    end
    q(:, :, p) = u;
  end
end

function m = minmod(a, b, c)
  s = sign(a);
  m = s .* min(min(abs(a), abs(b)), abs(c));
  m(sign(b) ~= s | sign(c) ~= s) = 0;
end

function q = positivity_limit(q, mesh)
  % Scales each element's depth and discharge about their means by the
  % largest factor that leaves no node negative; the means are kept. A
  % negative mean cannot be mended this way and is left for minDepth to show.
  h = q(:, :, 1);
  hu = q(:, :, 2);
  hbar = mesh.weights' * h;
  hubar = mesh.weights' * hu;
  hmin = min(h, [], 1);
  scale = find(hmin < 0 & hbar >= 0);
  theta = hbar(scale) ./ (hbar(scale) - hmin(scale));
  h(:, scale) = hbar(scale) + theta .* (h(:, scale) - hbar(scale));
  hu(:, scale) = hubar(scale) + theta .* (hu(:, scale) - hubar(scale));
  % The node that reached zero may land a rounding error below it.
  h(:, scale) = max(h(:, scale), 0);
  q(:, :, 1) = h;
  q(:, :, 2) = hu;
end

function d = smallest_depth(q)
  % Smallest nodal depth; NaN when any depth is NaN (min alone skips those).
  h = q(:, :, 1);
  d = min(h(:));
  if any(isnan(h(:)))
    d = NaN;
  end
end

function m = total_mass(q, mesh)
  m = sum(mesh.weights' * q(:, :, 1)) * mesh.dx;
end

function e = l1_error(h, mesh, exact)
  % Integral of |h - exact| over the channel: each element split into eight
  % parts with a four-point Gauss rule on each (the exact depth has kinks).
  g4 = [-0.861136311594053; -0.339981043584856; 0.339981043584856; 0.861136311594053];
  w4 = [0.347854845137454; 0.652145154862546; 0.652145154862546; 0.347854845137454];
  parts = 8;
  rq = reshape((g4 + 1) / parts + (-1:2 / parts:1 - 2 / parts), [], 1);
  wq = repmat(w4 / parts, parts, 1);
  interpolate = legendre_vandermonde(mesh.N, rq) / mesh.V;
  xq = mesh.x(1, :) + (rq + 1) * (mesh.dx / 2);
  e = sum(wq' * abs(interpolate * h - exact(xq))) * (mesh.dx / 2);
end

function h = ritter_depth(x, t, x0, h0, g)
  % Exact depth of a dam break onto a dry bed (Ritter): still water behind the
  % rarefaction head x0 - c0 t, a parabolic profile up to the front x0 + 2 c0 t.
  c0 = sqrt(g * h0);
  xi = (x - x0) / t;
  h = h0 * ones(size(x));
  fan = xi > -c0 & xi < 2 * c0;
  h(fan) = (2 * c0 - xi(fan)) .^ 2 / (9 * g);
  h(xi >= 2 * c0) = 0;
end
