function run = dg2d_thacker_run(n, N, periods, varargin)
% DG2D_THACKER_RUN  Thacker's planar bowl (a = 1, h0 = 0.1, sigma = 0.5,
% g = 9.81) on [-2, 2]^2 cut into n x n cells, order N, for the given number
% of periods, on one mesh or (name-value 'split', true) on the two meshes
% x < 0 and x > 0 joined by dg2d_couple. Further name-value pairs go to
% dg2d_options. The state is kept at T/2 and at every whole period.
%
% run fields: n, N, mesh (the single mesh, elements in the state's order),
% period, times, states (at times), l1, l2 (of h against the exact depth),
% mass (relative change at each time), centre (distance of the water's
% centre of mass from the exact one), and the solver's result.
  a = 1;
  h0 = 0.1;
  sigma = 0.5;
  split = false;
  keep = true(size(varargin));
  for i = 1:2:numel(varargin)
    if strcmp(varargin{i}, 'split')
      split = varargin{i + 1};
      keep(i:i + 1) = false;
    end
  end
  opt = dg2d_options(varargin{keep});
  g = opt.gravity;
  omega = sqrt(2 * g * h0) / a;
  period = 2 * pi / omega;
  % Elements left of x = 0 first, so that the single mesh and the two
  % joined meshes hold the state in the same order.
  vm = dg2d_rectangle([-2, 2], [-2, 2], n, n);
  centreX = mean(reshape(vm.VX(vm.EToV), 3, []), 1);
  parts = {vm.EToV(:, centreX < 0), vm.EToV(:, centreX > 0)};
  vm.EToV = [parts{:}];
  mesh = dg2d_mesh(vm, N);
  meshes = {mesh};
  if split
    for m = 1:2
      meshes{m} = dg2d_mesh(struct('VX', vm.VX, 'VY', vm.VY, 'EToV', parts{m}), N);
    end
    meshes = dg2d_couple(meshes, opt.kernels);
  end
  [h, hu, hv, z] = dg2d_thacker(mesh.x, mesh.y, 0, a, h0, sigma, g);
  opt.outputTimes = [period / 2, (1:periods) * period];
  opt.finalTime = max(periods, 0.5) * period;
  result = dg2d_solve(meshes, cat(3, h, hu, hv), z, opt);

  run = struct('n', n, 'N', N, 'mesh', mesh, 'period', period, 'times', opt.outputTimes, ...
               'result', result);
  run.states = result.outputs;
  domain = dg2d_domain(mesh);
  for i = 1:numel(run.times)
    t = run.times(i);
    hT = run.states{i}(:, :, 1);
    exact = @(x, y) dg2d_thacker(x, y, t, a, h0, sigma, g);
    [run.l1(i), run.l2(i)] = dg2d_errors(hT, mesh, exact);
    mass = dg2d_integral(hT, domain);
    run.mass(i) = (mass - result.mass0) / result.mass0;
    centre = [dg2d_integral(hT .* mesh.x, domain), dg2d_integral(hT .* mesh.y, domain)] / mass;
    run.centre(i) = norm(centre - sigma * [cos(omega * t), sin(omega * t)]);
  end
end
