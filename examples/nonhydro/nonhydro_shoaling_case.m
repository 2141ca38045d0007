function r = nonhydro_shoaling_case(opts)
% NONHYDRO_SHOALING_CASE  Linear shoaling of a periodic wave up a 1:50 slope,
% on a strip of triangles (one row of cells) run with nonhydro_solve.
%
%   r = nonhydro_shoaling_case()        defaults
%   r = nonhydro_shoaling_case(opts)    opts: struct of any of
%     cellsPerWavelength   cells per local wavelength (default 10; two
%                          triangles each, the cell length following the
%                          wavelength along the slope)
%     order                polynomial order N (default 2)
%     waveHeight           H0/d0 (default 0.002)
%     kd0, kd1             k d offshore and at the top of the slope (2, 0.5)
%     slope                (default 1/50)
%     periods              measured periods after the wave front has crossed
%                          the domain (default 4)
%     cfl, gravity         (defaults 0.5, 9.81)
%
% d0 = 1 m. The wave enters at x = 0 through faces of code 8 (the incident
% wave eta = (H0/2) sin(w t - k0 x), u = (w/(k0 d0)) eta, switched on over
% two periods), crosses one wavelength of flat bed, climbs the slope from
% depth d0 to d1 (where k d = kd1) and leaves through faces of code 9
% (radiation) after two wavelengths of flat bed at d1; the sides are walls.
% Dispersion relation: the model's own, that of a vertical velocity linear
% over the depth, w^2 = g d k^2 / (1 + (k d)^2/4), so k^2 = w^2/(g d - w^2
% d^2/4) and c_g = g d k / (w (1 + (k d)^2/4)^2); shoaling theory
% K_s = sqrt(c_g0 / c_g). The wave height at a node is the range of the
% surface there over the last `periods` periods; the offshore height is its
% mean over the flat bed half a wavelength and more from the boundary.
% r: x, depth, height (over the offshore height) and theory (K_s) at the
% nodes along y = 0, incidentHeight (the offshore height over H0),
% slope (true on the slope), maxError (largest |height/theory - 1| on the
% slope), period, d1, steps, wallTime, unknowns, options.
  if nargin < 1
    opts = struct();
  end
  opt = struct('cellsPerWavelength', 10, 'order', 2, 'waveHeight', 0.002, 'kd0', 2, 'kd1', 0.5, ...
               'slope', 1 / 50, 'periods', 4, 'cfl', 0.5, 'gravity', 9.81);
  names = fieldnames(opts);
  for i = 1:numel(names)
    if ~isfield(opt, names{i})
      error('nonhydro_shoaling_case:unknownOption', 'Unknown option %s.', names{i});
    end
    opt.(names{i}) = opts.(names{i});
  end
  g = opt.gravity;
  d0 = 1;
  k0 = opt.kd0 / d0;
  w = sqrt(g * d0 * k0 ^ 2 / (1 + opt.kd0 ^ 2 / 4));
  period = 2 * pi / w;
  d1 = (opt.kd1 ^ 2) * g / (w ^ 2 * (1 + opt.kd1 ^ 2 / 4));
  wavenumber = @(d) sqrt(w ^ 2 ./ (g * d - w ^ 2 * d .^ 2 / 4));
  group = @(d) g * d .* wavenumber(d) ./ (w * (1 + (wavenumber(d) .* d) .^ 2 / 4) .^ 2);
  L0 = 2 * pi / k0;
  L1 = 2 * pi / wavenumber(d1);
  toe = L0;
  top = toe + (d0 - d1) / opt.slope;
  x1 = top + 2 * L1;
  depth = @(x) d0 - opt.slope * min(max(x - toe, 0), top - toe);

  % Vertices: each cell a fraction of the local wavelength.
  vertexX = 0;
  while vertexX(end) < x1
    % Cells from the incident boundary to the far end.
    vertexX(end + 1) = vertexX(end) + 2 * pi / wavenumber(depth(vertexX(end))) / opt.cellsPerWavelength;
  end
  vertexX = vertexX * x1 / vertexX(end);
  cells = numel(vertexX) - 1;
  vm = dg2d_rectangle([0, 1], [0, L1 / opt.cellsPerWavelength], cells, 1);
  vm.VX = [vertexX, vertexX];
  mesh = dg2d_mesh(vm, opt.order);
  z = -depth(mesh.x);
  q = zeros(mesh.Np, mesh.K, 4);
  q(:, :, 1) = -z;

  % Boundary codes: 8 at x = 0, 9 at the far end, walls along the sides.
  F = mesh.faces;
  boundary = find(F.kind == 1);
  fx = mesh.x(F.mapM(:, boundary));
  types = int8(2 * ones(1, numel(boundary)));
  types(all(fx == 0, 1)) = 8;
  types(all(abs(fx - x1) < 1e-9 * x1, 1)) = 9;

  a = opt.waveHeight * d0 / 2;
  ramp = @(t) (t < 2 * period) .* (1 - cos(pi * t / (2 * period))) / 2 + (t >= 2 * period);
  function [eta, u, v] = incident(x, y, t)
    % The incident wave at the boundary nodes.
    eta = a * ramp(t) * sin(w * t - k0 * x);
    u = (w / (k0 * d0)) * eta;
    v = zeros(size(eta));
  end
  travel = trapz(linspace(0, x1, 2001), 1 ./ group(depth(linspace(0, x1, 2001))));
  start = 2 * period + travel + 2 * period;
  finalTime = start + opt.periods * period;

  line = find(mesh.y(:) == 0);
  [xs, order] = unique(mesh.x(line));
  line = line(order);
  top_ = -inf(size(xs));
  bottom = inf(size(xs));
  function row = record(t, q)
    % Highest and lowest surface along the line within the window.
    if t >= start
      eta = q(line) + z(line);
      top_ = max(top_, eta);
      bottom = min(bottom, eta);
    end
    row = t;
  end
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', finalTime, 'nonhydrostatic', true, ...
               'slopeLimiter', false, 'boundaryTypes', types, 'bed', z, 'incident', @incident, ...
               'record', @record, 'maxSteps', 1e6);
  s = nonhydro_solve(mesh, q, run);

  dx = depth(xs);
  theory = sqrt(group(d0) ./ group(dx));
  height = top_ - bottom;
  offshore = xs >= L0 / 2 & xs <= toe;
  incidentHeight = mean(height(offshore));
  height = height / incidentHeight;
  onSlope = xs > toe & xs < top;
  r = struct('x', xs, 'depth', dx, 'height', height, 'theory', theory, 'slope', onSlope, ...
             'incidentHeight', incidentHeight / opt.waveHeight, ...
             'maxError', max(abs(height(onSlope) ./ theory(onSlope) - 1)), 'period', period, ...
             'd1', d1, 'toe', toe, 'top', top, 'steps', s.steps, 'wallTime', s.wallTime, ...
             'solveTime', s.solveTime, 'correctionTime', s.correctionTime, ...
             'unknowns', s.unknowns, 'options', opt);
end
