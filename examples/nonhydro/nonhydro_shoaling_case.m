function r = nonhydro_shoaling_case(opts)
% NONHYDRO_SHOALING_CASE  Linear shoaling of a periodic wave up a 1:50 slope,
% on a strip of triangles (one row of cells) run with nonhydro_solve.
%
%   r = nonhydro_shoaling_case()        defaults
%   r = nonhydro_shoaling_case(opts)    opts: struct of any of
%     cellsPerWavelength   cells per local wavelength (default 8; two
%                          triangles each, the cell length following the
%                          wavelength along the slope)
%     order                polynomial order N (default 2)
%     waveHeight           H0/d0 (default 0.002)
%     kd0, kd1             k d offshore and at the top of the slope (2, 0.5)
%     slope                (default 1/50)
%     periods              measured periods after the wave front has crossed
%                          the domain (default 2)
%     ramp                 periods over which the wave is switched on
%                          (default 10; over 2 the parts of the switch-on
%                          near the model's highest frequency left errors
%                          of up to 8 % on the upper slope)
%     generation           length of the generating relaxation zone at the
%                          incident boundary, in offshore wavelengths
%                          (default 1; 0: none, the boundary alone)
%     sponge               length of the absorbing relaxation zone at the
%                          shallow end, in wavelengths there (default 2;
%                          0: none, the radiation boundary alone)
%     width                of the strip (default the cell length at the
%                          shallow end)
%     cfl, gravity         (defaults 0.5, 9.81)
%
% d0 = 1 m. The incident wave eta = (H0/2) sin(w t - k0 x), u = (w/(k0 d0))
% eta, w = (w/2) (H0/2) cos(w t - k0 x) (the depth-mean vertical velocity),
% switched on over `ramp` periods, enters at x = 0 through faces of code 8
% given its phase speed w/k0, and is imposed in a generating zone beside
% them: after every step each field f becomes a f + (1 - a) f_wave, the
% weight a = 1 - (exp(s^3.5) - 1)/(exp(1) - 1) falling from 1 at the inner
% end of the zone (s = 0) to 0 at the boundary (s = 1) (relaxation zones,
% Mayer, Garapon and Sorensen 1998; Jacobsen, Fuhrman and Fredsoe 2012).
% The zone also absorbs what the slope reflects. After the zone one
% wavelength of flat bed, then the slope from depth d0 to d1 (where
% k d = kd1), one wavelength of flat bed at d1 and an absorbing zone of the
% same form relaxing to still water, closed by faces of code 9 (radiation);
% the sides are walls.
% Dispersion relation: the model's own, that of a vertical velocity linear
% over the depth, w^2 = g d k^2 / (1 + (k d)^2/4), so k^2 = w^2/(g d - w^2
% d^2/4) and c_g = g d k / (w (1 + (k d)^2/4)^2); shoaling theory
% K_s = sqrt(c_g0 / c_g). The wave height at a node is twice the amplitude
% of the surface's first harmonic at the wave's frequency over the last
% `periods` periods; the offshore height is its
% mean over the flat bed between the generating zone and the slope.
% r: x, depth, height (over the offshore height), theory (K_s) and
% amplitude (complex, eta = real(amplitude exp(i w t)), in m) at the nodes
% along y = 0, incidentHeight (the offshore height over H0), reflection
% (the reflected wave's amplitude over the incident one's on that flat bed),
% slope (true on the slope), maxError (largest |height/theory - 1| on the
% slope) and where (its x), period, d1, toe, top, steps, wallTime,
% unknowns, options.
  if nargin < 1
    opts = struct();
  end
  opt = struct('cellsPerWavelength', 8, 'order', 2, 'waveHeight', 0.002, 'kd0', 2, 'kd1', 0.5, ...
               'slope', 1 / 50, 'periods', 2, 'ramp', 10, 'generation', 1, 'sponge', 2, 'width', [], ...
               'cfl', 0.5, 'gravity', 9.81);
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
  zone0 = opt.generation * L0;
  toe = zone0 + L0;
  top = toe + (d0 - d1) / opt.slope;
  zone1 = top + L1;
  x1 = zone1 + opt.sponge * L1;
  depth = @(x) d0 - opt.slope * min(max(x - toe, 0), top - toe);

  % Vertices: each cell a fraction of the local wavelength.
  vertexX = 0;
  while vertexX(end) < x1
    % Cells from the incident boundary to the far end.
    vertexX(end + 1) = vertexX(end) + 2 * pi / wavenumber(depth(vertexX(end))) / opt.cellsPerWavelength;
  end
  vertexX = vertexX * x1 / vertexX(end);
  cells = numel(vertexX) - 1;
  % One row of cells about as wide as long at the shallow end (much wider,
  % long thin triangles, a strip of the offshore wavelength's width, made the
  % height grow along the flat bed by 4 % and up the slope by 21 %).
  width = opt.width;
  if isempty(width)
    width = L1 / opt.cellsPerWavelength;
  end
  vm = dg2d_rectangle([0, 1], [0, width], cells, 1);
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
  % A short switch-on spreads the wave's spectrum up to the model's highest
  % frequency, 2 sqrt(g/d), near which the group velocity falls to zero:
  % those parts climb the slope long after the wave front and beat with the
  % wave in the measured periods.
  rampTime = opt.ramp * period;
  ramp = @(t) (t < rampTime) .* (1 - cos(pi * t / rampTime)) / 2 + (t >= rampTime);
  function [eta, u, v, celerity] = incident(x, y, t)
    % The incident wave at the boundary nodes, and its phase speed.
    eta = a * ramp(t) * sin(w * t - k0 * x);
    u = (w / (k0 * d0)) * eta;
    v = zeros(size(eta));
    celerity = (w / k0) * ones(size(eta));
  end
  % Relaxation weights of the nodes in the two zones (1 outside them).
  weight = @(s) 1 - (exp(max(min(s, 1), 0) .^ 3.5) - 1) / (exp(1) - 1);
  weightIn = ones(size(z));
  if zone0 > 0
    weightIn = weight((zone0 - mesh.x) / zone0);
  end
  weightOut = ones(size(z));
  if x1 > zone1
    weightOut = weight((mesh.x - zone1) / (x1 - zone1));
  end
  inZone = find(weightIn < 1);
  outZone = find(weightOut < 1);
  function q = relax(t, q)
    % The incident wave in the generating zone, still water in the
    % absorbing one.
    [eta, u] = incident(mesh.x(inZone), 0, t);
    hw = (w / 2) * a * ramp(t) * cos(w * t - k0 * mesh.x(inZone));
    wave = [d0 + eta, (d0 + eta) .* u, zeros(size(eta)), d0 * hw];
    still = [-z(outZone), zeros(numel(outZone), 3)];
    for f = 1:4
      % Each field relaxed towards its target.
      field = q(:, :, f);
      field(inZone) = weightIn(inZone) .* field(inZone) + (1 - weightIn(inZone)) .* wave(:, f);
      field(outZone) = weightOut(outZone) .* field(outZone) + (1 - weightOut(outZone)) .* still(:, f);
      q(:, :, f) = field;
    end
  end
  travel = trapz(linspace(0, x1, 2001), 1 ./ group(depth(linspace(0, x1, 2001))));
  start = rampTime + travel + 2 * period;
  finalTime = start + opt.periods * period;

  line = find(mesh.y(:) == 0);
  [xs, order] = unique(mesh.x(line));
  line = line(order);
  % First harmonic of the surface at the wave's frequency over the window
  % (trapezoidal sums of eta cos(w t) and eta sin(w t)): a slow drift of
  % the mean level does not enter the height as it would in the range.
  cosine = zeros(size(xs));
  sine = zeros(size(xs));
  last = [];
  function row = record(t, q)
    % The window's sums along the line.
    if t >= start
      eta = q(line) + z(line);
      now = [t, eta(:)'];
      if ~isempty(last)
        dt = t - last(1);
        cosine = cosine + (dt / 2) * (last(2:end)' * cos(w * last(1)) + eta * cos(w * t));
        sine = sine + (dt / 2) * (last(2:end)' * sin(w * last(1)) + eta * sin(w * t));
      end
      last = now;
    end
    row = t;
  end
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', finalTime, 'nonhydrostatic', true, ...
               'slopeLimiter', false, 'boundaryTypes', types, 'bed', z, 'incident', @incident, ...
               'record', @record, 'relax', @relax, 'stopTimes', start, 'maxSteps', 1e6);
  s = nonhydro_solve(mesh, q, run);

  dx = depth(xs);
  theory = sqrt(group(d0) ./ group(dx));
  window = opt.periods * period;
  height = 4 * sqrt(cosine .^ 2 + sine .^ 2) / window;
  offshore = xs >= zone0 + L0 / 4 & xs <= toe;
  incidentHeight = mean(height(offshore));
  % Incident and reflected waves over that flat bed: least squares of the
  % complex amplitude (eta = real(amplitude exp(i w t))) in exp(-i k0 x) and
  % exp(i k0 x).
  amplitude = 2 * (cosine - 1i * sine) / window;
  parts = [exp(-1i * k0 * xs(offshore)), exp(1i * k0 * xs(offshore))] \ amplitude(offshore);
  height = height / incidentHeight;
  onSlope = xs > toe & xs < top;
  [maxError, worst] = max(abs(height(onSlope) ./ theory(onSlope) - 1));
  slopeX = xs(onSlope);
  r = struct('x', xs, 'depth', dx, 'height', height, 'theory', theory, 'slope', onSlope, ...
             'incidentHeight', incidentHeight / opt.waveHeight, 'amplitude', amplitude, ...
             'reflection', abs(parts(2)) / abs(parts(1)), ...
             'maxError', maxError, 'where', slopeX(worst), 'period', period, ...
             'd1', d1, 'toe', toe, 'top', top, 'steps', s.steps, 'wallTime', s.wallTime, ...
             'solveTime', s.solveTime, 'correctionTime', s.correctionTime, ...
             'unknowns', s.unknowns, 'options', opt);
end
