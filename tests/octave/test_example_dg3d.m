function tests = test_example_dg3d()
  % The 3d layered model on coarse prism meshes. The quadratic wind-driven
  % and slope-driven profiles lie in the space of Nz = 2 and must come out
  % to the steady-state tolerance; with Nz = 1 the errors must match the
  % scheme's own. A missing or reversed wind stress, a wrong sign of the
  % vertical Jacobian, or the alternating flux taken from the wrong side
  % breaks these bounds. The lake at rest stays at rest and the water volume
  % is kept to rounding.
  tests = {@wind_basin_profile_setup_and_mass, @channel_steady_and_start_up, @lake_stays_at_rest};
end

function add_examples()
  root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
  addpath(fullfile(root, 'examples', 'dg2d'));
  addpath(fullfile(root, 'examples', 'dg3d'));
end

function wind_basin_profile_setup_and_mass()
  add_examples();
  % Six cells of 1.7 m, nu = 0.5: steady within 700 steps. With Nz = 2 the
  % error left comes from the depth varying with the set-up (1e-4 of it).
  coarse = struct('elementsX', 6, 'width', 10 / 6, 'nu', 0.5, 'steadyTolerance', 1e-8, 'steadyEvery', 50, ...
                  'finalTime', 100, 'maxSteps', 2000);
  r = dg3d_wind_basin_case(3, 2, coarse);
  assert(r.profileError < 2e-5, 'profile error %g', r.profileError);
  assert(r.setupError < 1e-5, 'set-up error %g', r.setupError);
  assert(abs(r.massChange) < 1e-14, 'mass change %g', r.massChange);
  assert(r.surfaceOmega < 1e-12 && r.verticalVelocity < 1e-4, 'flux through the surface %g, w %g', ...
         r.surfaceOmega, r.verticalVelocity);
  r = dg3d_wind_basin_case(4, 1, coarse);
  assert(abs(r.profileError / 0.04159 - 1) < 0.01, 'Nz = 1 profile error %g', r.profileError);
  assert(abs(r.setupError / 0.01891 - 1) < 0.01, 'Nz = 1 set-up error %g', r.setupError);
end

function channel_steady_and_start_up()
  add_examples();
  r = dg3d_channel_case(3, 2);
  assert(r.steadyError < 1e-10, 'steady error %g', r.steadyError);
  assert(r.startupError < 2e-4, 'start-up error %g', r.startupError);
  r = dg3d_channel_case(4, 1);
  assert(abs(r.steadyError / 0.010415 - 1) < 0.01, 'Nz = 1 steady error %g', r.steadyError);
  r = dg3d_channel_case(3, 2, struct('friction', 0.05));
  assert(r.steadyError < 1e-10, 'steady error with bed friction %g', r.steadyError);
end

function lake_stays_at_rest()
  add_examples();
  r = dg3d_lake_case(2, 1, struct('steps', 200, 'elements', 3));
  assert(r.maxVelocity <= 1e-12, 'velocity %g', r.maxVelocity);
  assert(r.surfaceChange <= 1e-12, 'surface change %g', r.surfaceChange);
  assert(abs(r.massChange) < 1e-14, 'mass change %g', r.massChange);
end
