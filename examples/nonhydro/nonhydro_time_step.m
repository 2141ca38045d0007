function dt = nonhydro_time_step(q, mesh, kernels, g, thr)
% NONHYDRO_TIME_STEP  Stable step of the state q (Np x K x >= 3: h, hu, hv)
% on one mesh: time_interval_3d over the elements with a wet node (a node at
% or below the threshold thr is handed thr as its depth, so its velocity is 0
% instead of 0/0), and on elements at the wet/dry front (a dry node of their
% own or across a face) the same rule with the speed |u| + 2 sqrt(g h) at
% which water runs onto a dry bed: the rule of the 2d solver.
  h = q(:, :, 1);
  wet = h > thr;
  status = int8(4 + ~any(wet, 1));
  hk = max(h, thr);
  elementLength = 2 * mesh.inradius;
  dt = kernels.time_interval_3d([], g, mesh.N, elementLength, status, cat(3, hk, q(:, :, 2), q(:, :, 3)));
  dryAcross = reshape(any(~wet(mesh.mapP), 1), 3, mesh.K);
  front = any(wet, 1) & (any(~wet, 1) | any(dryAcross, 1));
  if any(front)
    speed = sqrt(q(:, front, 2) .^ 2 + q(:, front, 3) .^ 2) ./ hk(:, front) + 2 * sqrt(g * hk(:, front));
    dt = min(dt, min(min((elementLength(front) ./ speed) / (2 * mesh.N + 1))));
  end
end
