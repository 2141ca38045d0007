function r = dg3d_speed_case(opts)
% DG3D_SPEED_CASE  Cost of the explicit 3d right-hand side (dg3d_rhs) at
% >= 10^5 prism nodes, with the compiled modules and with their plain Octave
% twins, in one run.
%
% A 10 m x 10 m basin of elementsX x elementsY cells (P1 triangles), L = 10
% layers of vertical order Nz = 1 (6 nodes per prism), a smooth surface and
% velocity over a varying bed, Coriolis and wind on. Each variant evaluates
% the right-hand side `repeats` times after one warm-up call, then each of
% its three parts alone with the modules timed through a wrapper.
% opts (struct, optional): elementsX (30), elementsY (28), layers (10),
% Nz (1), repeats (20).
% r: nodes, perRhs and perNode (s per right-hand side and s per node per
% right-hand side, 1 x 2: modules, plain), cpuPerRhs and cpuPerNode (the
% same in the process's CPU seconds, which other work on a loaded machine
% inflates less than the wall time), ratio (plain / modules),
% difference (largest relative difference of the two results), partNames,
% partSeconds (a row per variant: s per call of the continuity, pressure and
% vertical-viscosity parts), moduleNames, moduleSeconds (a row per variant:
% s per right-hand side spent inside each module or its twin).
  if nargin < 1
    opts = [];
  end
  c = struct('elementsX', 30, 'elementsY', 28, 'layers', 10, 'Nz', 1, 'repeats', 20, ...
             'solver', {{'nu', 0.01, 'coriolis', 1e-4, 'windStress', [0.1 0.05]}});
  [c, solver] = dg3d_case_options('dg3d_speed_case', c, opts);
  opt = dg3d_options(solver{:});
  bed = @(x, y) 1 + 0.5 * sin(pi * x / 5) .* cos(pi * y / 5);
  mesh = dg3d_mesh(dg2d_rectangle([0, 10], [0, 10], c.elementsX, c.elementsY), 1, c.layers, c.Nz, bed);
  eta = 0.01 * cos(pi * mesh.mesh2.x / 10) .* cos(pi * mesh.mesh2.y / 10);
  mesh = dg3d_geometry(mesh, eta);
  u = cat(3, 0.1 * sin(pi * mesh.x / 10) .* (1 + mesh.sigma), 0.05 * cos(pi * mesh.y / 10) .* mesh.sigma .^ 2);
  r.nodes = mesh.Np * mesh.K;
  variants = {'modules', 'plain'};
  modules = {'bottom_edge_alter_rhs', 'bottom_edge_central_rhs', 'inner_edge_strong_rhs'};
  results = cell(1, 2);
  % Each variant: the modules, then their plain twins.
  for v = 1:2
    kernels = dg3d_kernels(variants{v});
    [results{v}{1:2}] = dg3d_rhs(mesh, kernels, eta, u, opt);
    started = tic();
    cpu = cputime();
    for i = 1:c.repeats
      % One whole right-hand side per pass.
      [~, ~] = dg3d_rhs(mesh, kernels, eta, u, opt);
    end
    r.perRhs(v) = toc(started) / c.repeats;
    r.cpuPerRhs(v) = (cputime() - cpu) / c.repeats;
    % Where the time goes: each module through a timing wrapper, and the
    % three parts of the right-hand side on their own.
    timed = kernels;
    % A timing wrapper around each module.
    for n = 1:numel(modules)
      timed.(modules{n}) = @(varargin) timed_call(n, kernels.(modules{n}), varargin{:});
    end
    vopt = struct('noSlip', true, 'bedPenalty', opt.bedPenalty, 'innerPenalty', opt.innerPenalty);
    parts = {@() dg3d_continuity_rhs(mesh, timed, eta, u, opt.g), ...
             @() dg3d_pressure_rhs(mesh, timed, eta, u, opt.g), ...
             @() dg3d_vertical_rhs(mesh, timed, u, opt.nu, vopt)};
    timed_call(0);
    % Each part of the right-hand side on its own.
    for p = 1:numel(parts)
      started = tic();
      for i = 1:c.repeats
        % Passes of one part.
        parts{p}();
      end
      r.partSeconds(v, p) = toc(started) / c.repeats;
    end
    r.moduleSeconds(v, :) = timed_call(-1) / c.repeats;
  end
  r.perNode = r.perRhs / r.nodes;
  r.cpuPerNode = r.cpuPerRhs / r.nodes;
  r.ratio = r.perRhs(2) / r.perRhs(1);
  r.difference = max(max(abs(results{1}{2}(:) - results{2}{2}(:))) / max(abs(results{1}{2}(:))), ...
                     max(abs(results{1}{1}(:) - results{2}{1}(:))) / max(abs(results{1}{1}(:))));
  r.partNames = {'continuity', 'pressure', 'vertical viscosity'};
  r.moduleNames = modules;
  r.options = c;
end

function out = timed_call(n, handle, varargin)
  % Calls a module and adds its time to slot n; n = 0 clears the slots,
  % n = -1 returns them.
  persistent seconds;
  if n == 0
    seconds = zeros(1, 3);
    return;
  elseif n < 0
    out = seconds;
    return;
  end
  started = tic();
  out = handle(varargin{:});
  seconds(n) = seconds(n) + toc(started);
end
