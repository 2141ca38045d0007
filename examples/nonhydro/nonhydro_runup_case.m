function r = nonhydro_runup_case(H, cotBeta, opts)
% NONHYDRO_RUNUP_CASE  Run-up of a solitary wave on a plane beach (Synolakis
% 1987, "The runup of solitary waves", J. Fluid Mech. 185), depth d = 1 m
% offshore, frictionless, on a strip of triangles (one row of square cells)
% run with nonhydro_solve.
%
%   r = nonhydro_runup_case(H, cotBeta)          defaults
%   r = nonhydro_runup_case(H, cotBeta, opts)    opts: struct of any of
%     cellSize       cell length along the strip offshore (default 0.5 m;
%                    two triangles each); over the beach it shrinks with the
%                    square root of the depth (a step the same for all
%                    cells), down to
%     shoreCellSize  the cell length at the shore and on land (default 0.1 m)
%     order          polynomial order N (default 2)
%     finalTime      end in t sqrt(g/d) (default 80)
%     landLength     dry land behind the shoreline (default 1.5 (H/d)^(5/4)
%                    times 5 cotBeta d, and at least 1 m)
%     seaLength      water beyond the wave's start (default 20 m; a wall
%                    closes it)
%     nonhydrostatic false runs the wave hydrostatically (default true)
%     flatBedPressure true leaves the bed terms out of the pressure step (a
%                    check of what they do; default false)
%     slopeLimiter   the 2d solver's limiter (default true when the wave
%                    breaks, H/d > 0.1)
%     breaking       the breaking criterion of nonhydro_breaking (default
%                    H/d > 0.1)
%     filmDepth      elements whose mean depth is below it carry no
%                    discharge (nonhydro_solve; default, when the wave
%                    breaks, 1e-3 d, the depth at which the shoreline is
%                    taken, else 0; 0 lets the film that a collapsing bore
%                    throws ahead run up the dry beach)
%     manning        Manning's n of the bed in s/m^(1/3) (nonhydro_solve;
%                    default 0, frictionless as the set-up says)
%     profileTimes   t sqrt(g/d) at which the surface maximum is kept
%                    (default 30:10:70)
%     cfl, gravity   (defaults 0.5, 9.81)
%     progress       seconds between progress lines of nonhydro_solve
%                    (default false: none)
%
% x is measured seaward from the still-water shoreline: the bed is
% z = -x/cotBeta up to the toe x = cotBeta d and z = -d beyond. The wave
% starts as eta = H sech^2(gamma (x - Xs)/d), gamma = sqrt(3H/(4d)),
% Xs = cotBeta d + (d/gamma) arccosh(sqrt(20)), with the discharge of a wave
% travelling shoreward, hu = -c eta, c = sqrt(g (d + H)), and the vertical
% momentum of a linear vertical velocity, hw = c d (d eta/dx)/2.
% The shoreline is the most landward node deeper than 1e-3 d; its height is
% that of the surface there (the surface is carried flat to the bed, which
% the node spacing alone would resolve only to its own height step), and the
% run-up is the largest over the run.
% r: runup (R/d), law (2.831 sqrt(cotBeta) (H/d)^(5/4)), times (t sqrt(g/d)),
% shoreline (height of the shoreline over d after every step), profileTimes
% and profileMax (largest surface over d at those times), x and eta (the
% surface at the last of them), massChange (relative), minDepth (smallest
% nodal depth after any step), steps, wallTime, unknowns, options.
  if nargin < 3
    opts = struct();
  end
  d = 1;
  g = 9.81;
  if isfield(opts, 'gravity')
    g = opts.gravity;
  end
  opt = struct('cellSize', 0.5, 'shoreCellSize', 0.1, 'order', 2, 'finalTime', 80, ...
               'landLength', max(1, 1.5 * 2.831 * sqrt(cotBeta) * H ^ 1.25 * cotBeta), ...
               'seaLength', 20, 'nonhydrostatic', true, 'flatBedPressure', false, ...
               'slopeLimiter', H > 0.1, 'breaking', H > 0.1, 'filmDepth', 1e-3 * d * (H > 0.1), ...
               'manning', 0, 'profileTimes', 30:10:70, 'cfl', 0.5, 'gravity', g, 'progress', false);
  names = fieldnames(opts);
  for i = 1:numel(names)
    if ~isfield(opt, names{i})
      error('nonhydro_runup_case:unknownOption', 'Unknown option %s.', names{i});
    end
    opt.(names{i}) = opts.(names{i});
  end
  if ~(isscalar(H) && H > 0 && isscalar(cotBeta) && cotBeta > 0)
    error('nonhydro_runup_case:badInput', 'H and cotBeta must be positive scalars.');
  end
  timeScale = sqrt(d / g);

  gamma = sqrt(3 * H / (4 * d));
  start = cotBeta * d + (d / gamma) * acosh(sqrt(20));
  x0 = -opt.landLength;
  x1 = start + (d / gamma) * acosh(sqrt(20)) + opt.seaLength;
  % Vertices along the strip: the cell length at x is
  % cellSize sqrt(depth/d), at least shoreCellSize.
  spacing = @(x) min(max(opt.cellSize * sqrt(max(min(x / cotBeta, d), 0) / d), opt.shoreCellSize), ...
                     opt.cellSize);
  % The still shoreline x = 0 is a vertex, so that no element starts partly
  % wet.
  vertexX = 0;
  while vertexX(end) < x1
    % Vertices from the shoreline out to sea, each one cell length on.
    vertexX(end + 1) = vertexX(end) + spacing(vertexX(end) + spacing(vertexX(end)) / 2);
  end
  vertexX = [-(ceil(-x0 / opt.shoreCellSize):-1:1) * opt.shoreCellSize, vertexX * x1 / vertexX(end)];
  x0 = vertexX(1);
  cells = numel(vertexX) - 1;
  vm = dg2d_rectangle([0, 1], [0, opt.cellSize], cells, 1);
  vm.VX = [vertexX, vertexX];
  mesh = dg2d_mesh(vm, opt.order);
  x = mesh.x;
  z = max(-x / cotBeta, -d);
  eta = H * sech(gamma * (x - start) / d) .^ 2;
  c = sqrt(g * (d + H));
  q = zeros(mesh.Np, mesh.K, 4);
  q(:, :, 1) = max(eta - z, 0);
  q(:, :, 2) = -c * eta .* (x > 0);
  if opt.nonhydrostatic
    slope = -2 * (gamma / d) * eta .* tanh(gamma * (x - start) / d);
    q(:, :, 4) = c * d * slope / 2 .* (x > cotBeta * d);
  end

  line = find(mesh.y(:) == 0);
  [xs, order] = unique(x(line));
  line = line(order);
  zs = z(line);
  profileTimes = sort(opt.profileTimes(:)) * timeScale;
  profileMax = nan(numel(profileTimes), 1);
  lastProfile = [];
  next = 1;
  function row = record(t, q)
    % Height of the shoreline, and the surface maximum at the profile times.
    hs = q(line);
    wet = find(hs > 1e-3 * d, 1);
    row = hs(wet) + zs(wet);
    while next <= numel(profileTimes) && t >= profileTimes(next) - 1e-9
      profileMax(next) = max(hs(hs > 1e-3 * d) + zs(hs > 1e-3 * d));
      lastProfile = max(hs + zs, zs);
      next = next + 1;
    end
  end
  bed = z;
  if opt.flatBedPressure
    bed = [];
  end
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', opt.finalTime * timeScale, ...
               'nonhydrostatic', opt.nonhydrostatic, 'slopeLimiter', opt.slopeLimiter, ...
               'breaking', opt.breaking, 'filmDepth', opt.filmDepth, ...
               'manning', opt.manning, 'boundaryTypes', nonhydro_walls(mesh), 'bed', z, 'pressureBed', bed, ...
               'record', @record, 'maxSteps', 1e6, 'stopTimes', profileTimes, ...
               'progress', opt.progress);
  s = nonhydro_solve(mesh, q, run);

  r = struct('runup', max(s.records) / d, 'law', 2.831 * sqrt(cotBeta) * (H / d) ^ 1.25, ...
             'times', s.times / timeScale, 'shoreline', s.records / d, ...
             'profileTimes', profileTimes / timeScale, 'profileMax', profileMax / d, ...
             'x', xs, 'eta', lastProfile, 'bed', zs, ...
             'massChange', (s.mass - s.mass0) / s.mass0, 'minDepth', s.minDepth, ...
             'steps', s.steps, 'wallTime', s.wallTime, 'unknowns', s.unknowns, 'options', opt);
end
