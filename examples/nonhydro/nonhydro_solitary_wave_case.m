function r = nonhydro_solitary_wave_case(varargin)
% NONHYDRO_SOLITARY_WAVE_CASE  A solitary wave over a flat bed in a long
% channel (a strip of triangles, one row of square cells, walls all round),
% run with nonhydro_solve.
%
%   r = nonhydro_solitary_wave_case('name', value, ...), options:
%     'elementsX'      cells along the channel (default 120; two triangles each)
%     'order'          polynomial order N (default 2)
%     'finalTime'      (default 30 s: a little over 30 depths of travel)
%     'nonhydrostatic' false runs the same wave hydrostatically, with the 2d
%                      solver's slope limiter for the bore it becomes (default true)
%     'depth', 'amplitude', 'channelLength', 'start', 'gravity', 'cfl'
%                      (defaults 10 m, 1 m, 600 m, 150 m, 9.81 m/s^2, 0.5)
%     'output', 'progress'  files written during the run and seconds between
%                      progress lines (nonhydro_solve; defaults [] and false)
%
% The wave starts as the exact solitary wave of the equations with a linear
% vertical velocity: surface a sech^2(kappa (x - start)), kappa^2 =
% a / (d^2 (d + a)), celerity c = sqrt(g (d + a)), discharge hu = c*eta and
% vertical momentum hw = -c d (d eta/dx) / 2 (a hydrostatic run starts with
% hw = 0). Along the wall y = 0 the crest is found after every step (a
% parabola through the highest node and its two neighbours).
% r holds celerity (slope of the crest position over the last three quarters
% of the run, least squares), theoryCelerity, amplitude (crest at the end over
% a) and amplitudeRange (smallest and largest over the run, over a), trailing
% (largest |surface| more than 4/kappa behind the crest at the end, over a),
% travelled (crest distance over the depth), massChange (relative), x, eta
% (the surface along the wall at the end) and x0, eta0 (at the start), the
% exact wave as a function of x and t, times, crest (position and height after
% every step), steps, wallTime, cpuTime, correctionTime,
% solveTime, unknowns, options.
  opt = struct('elementsX', 120, 'order', 2, 'finalTime', 30, 'nonhydrostatic', true, ...
               'depth', 10, 'amplitude', 1, 'channelLength', 600, 'start', 150, ...
               'gravity', 9.81, 'cfl', 0.5, 'output', [], 'progress', false);
  opt = nonhydro_options(opt, varargin);
  g = opt.gravity;
  d = opt.depth;
  a = opt.amplitude;
  kappa = sqrt(a / (d ^ 2 * (d + a)));
  c = sqrt(g * (d + a));
  exact = @(x, t) a * sech(kappa * (x - opt.start - c * t)) .^ 2;

  width = opt.channelLength / opt.elementsX;
  mesh = dg2d_mesh(dg2d_rectangle([0, opt.channelLength], [0, width], opt.elementsX, 1), opt.order);
  x = mesh.x;
  eta = exact(x, 0);
  q = zeros(mesh.Np, mesh.K, 4);
  q(:, :, 1) = d + eta;
  q(:, :, 2) = c * eta;
  if opt.nonhydrostatic
    slope = -2 * kappa * eta .* tanh(kappa * (x - opt.start));
    q(:, :, 4) = -c * d * slope / 2;
  end
  line = find(mesh.y(:) == 0);
  [xs, order] = unique(x(line));
  line = line(order);
  run = struct('gravity', g, 'cfl', opt.cfl, 'finalTime', opt.finalTime, ...
               'nonhydrostatic', opt.nonhydrostatic, 'slopeLimiter', ~opt.nonhydrostatic, ...
               'boundaryTypes', nonhydro_walls(mesh), ...
               'record', @(t, q) crest(xs, q(line) - d), 'maxSteps', 1e6, ...
               'output', opt.output, 'progress', opt.progress);
  s = nonhydro_solve(mesh, q, run);

  t = s.times;
  fit = t >= opt.finalTime / 4;
  coef = polyfit(t(fit), s.records(fit, 1), 1);
  surface = s.q(line) - d;
  behind = xs < s.records(end, 1) - 4 / kappa;
  r = struct('celerity', coef(1), 'theoryCelerity', c, 'amplitude', s.records(end, 2) / a, ...
             'amplitudeRange', [min(s.records(:, 2)), max(s.records(:, 2))] / a, ...
             'trailing', max([0; abs(surface(behind))]) / a, ...
             'travelled', (s.records(end, 1) - s.records(1, 1)) / d, ...
             'massChange', (s.mass - s.mass0) / s.mass0, 'x', xs, 'eta', surface, ...
             'eta0', exact(xs, 0), 'exact', exact, 'times', t, 'crest', s.records, ...
             'steps', s.steps, 'wallTime', s.wallTime, 'cpuTime', s.cpuTime, ...
             'solveTime', s.solveTime, ...
             'correctionTime', s.correctionTime, ...
             'unknowns', s.unknowns, 'options', opt);
end

function v = crest(x, eta)
  % Position and height of the highest point of eta along x: the vertex of
  % the parabola through the highest node and its two neighbours.
  [~, i] = max(eta);
  i = min(max(i, 2), numel(x) - 1);
  p = polyfit(x(i - 1:i + 1) - x(i), eta(i - 1:i + 1), 2);
  shift = -p(2) / (2 * p(1));
  v = [x(i) + shift, polyval(p, shift)];
end
