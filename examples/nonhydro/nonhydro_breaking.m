function breaking = nonhydro_breaking(h, dhdt, breaking, mesh, g, thr)
% NONHYDRO_BREAKING  Elements (1 x K logical) where the wave breaks, from the
% depth h and its rate of change dhdt (Np x K; over a fixed bed the rate of
% the surface) and the elements that broke at the step before.
%
% Criterion of Smit, Zijlema and Stelling (2013), "Depth-induced wave
% breaking in a non-hydrostatic, near-shore wave model", Coastal Engineering
% 76, 1-16: a wave starts to break where its surface rises faster than
% alpha sqrt(g h), alpha = 0.6 (the front nears the vertical), and an element
% that breaks goes on breaking while its surface still rises faster than
% beta sqrt(g h), beta = 0.3. The elements across the faces of a breaking one
% break with it, so the bore is hydrostatic over its whole front. There the
% correction is off and the bore dissipates as a shock of the hydrostatic
% equations.
  alpha = 0.6;
  beta = 0.3;
  wet = h > thr;
  speed = sqrt(g * max(h, 0));
  starts = any(wet & dhdt > alpha * speed, 1);
  goesOn = breaking & any(wet & dhdt > beta * speed, 1);
  breaking = starts | goesOn;
  % Elements across the faces of breaking ones.
  around = mesh.E2E(:, breaking);
  breaking(around(:)) = true;
end
