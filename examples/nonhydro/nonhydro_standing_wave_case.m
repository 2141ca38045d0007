function r = nonhydro_standing_wave_case(varargin)
% NONHYDRO_STANDING_WAVE_CASE  A standing wave in a closed basin, one
% wavelength long, on a strip of triangles (one row of square cells, walls
% all round), run with nonhydro_solve.
%
%   r = nonhydro_standing_wave_case('name', value, ...), options:
%     'elementsX'      cells along the basin (default 20; two triangles each)
%     'order'          polynomial order N (default 2)
%     'periods'        run time in Airy periods (default 3)
%     'nonhydrostatic' false runs the same case hydrostatically (default true)
%     'depth', 'basinLength', 'amplitude', 'gravity', 'cfl'
%                      (defaults 8 m, 20 m, 0.1 m, 9.81 m/s^2, 0.5)
%
% The surface starts as amplitude*cos(k x), k = 2 pi / basinLength, at rest.
% The period is taken from the surface at the wall x = 0: twice the mean
% time between its successive zero crossings (interpolated linearly within a
% step). r holds period, and for comparison airyPeriod (c^2 = (g/k) tanh(k d)),
% modelPeriod (the linear relation of a linear vertical velocity,
% w^2 = g d k^2 / (1 + (k d)^2 / 4)) and hydrostaticPeriod (w = k sqrt(g d));
% amplitude (of the fundamental at the wall over the last period, over the
% initial amplitude); massChange (relative); times and wallSurface (the
% record); steps, wallTime, cpuTime, correctionTime,
% solveTime, unknowns; kd; options.
  opt = struct('elementsX', 20, 'order', 2, 'periods', 3, 'nonhydrostatic', true, ...
               'depth', 8, 'basinLength', 20, 'amplitude', 0.1, 'gravity', 9.81, 'cfl', 0.5);
  opt = nonhydro_options(opt, varargin);
  g = opt.gravity;
  d = opt.depth;
  k = 2 * pi / opt.basinLength;
  airy = 2 * pi / sqrt(g * k * tanh(k * d));

  width = opt.basinLength / opt.elementsX;
  mesh = dg2d_mesh(dg2d_rectangle([0, opt.basinLength], [0, width], opt.elementsX, 1), opt.order);
  q = zeros(mesh.Np, mesh.K, 4);
  q(:, :, 1) = d + opt.amplitude * cos(k * mesh.x);
  atWall = find(mesh.x(:) == 0);
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', opt.periods * airy, ...
               'nonhydrostatic', opt.nonhydrostatic, 'slopeLimiter', false, ...
               'boundaryTypes', nonhydro_walls(mesh), ...
               'record', @(t, q) mean(q(atWall)) - d, 'maxSteps', 1e6);
  s = nonhydro_solve(mesh, q, run);

  t = s.times;
  eta = s.records;
  cross = find(sign(eta(1:end - 1)) ~= sign(eta(2:end)) & eta(2:end) ~= 0);
  crossTimes = t(cross) - eta(cross) .* (t(cross + 1) - t(cross)) ./ (eta(cross + 1) - eta(cross));
  if numel(crossTimes) < 2
    error('nonhydro_standing_wave_case:noPeriod', 'The surface at the wall crossed zero %d times.', ...
          numel(crossTimes));
  end
  period = 2 * mean(diff(crossTimes));
  % Amplitude of the fundamental over the last period: least squares with its
  % second harmonic and a mean beside it, which the nonlinear wave also has.
  last = t >= t(end) - period;
  phase = 2 * pi * t(last) / period;
  fit = [cos(phase), sin(phase), ones(size(phase)), cos(2 * phase), sin(2 * phase)] \ eta(last);
  r = struct('period', period, 'airyPeriod', airy, ...
             'modelPeriod', 2 * pi / sqrt(g * d * k ^ 2 / (1 + (k * d) ^ 2 / 4)), ...
             'hydrostaticPeriod', 2 * pi / (k * sqrt(g * d)), ...
             'amplitude', hypot(fit(1), fit(2)) / opt.amplitude, ...
             'massChange', (s.mass - s.mass0) / s.mass0, 'times', t, 'wallSurface', eta, ...
             'steps', s.steps, 'wallTime', s.wallTime, 'cpuTime', s.cpuTime, ...
             'solveTime', s.solveTime, ...
             'correctionTime', s.correctionTime, ...
             'unknowns', s.unknowns, 'kd', k * d, 'options', opt);
end
