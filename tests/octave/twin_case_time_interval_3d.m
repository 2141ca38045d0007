function c = twin_case_time_interval_3d()
% TWIN_CASE_TIME_INTERVAL_3D  dt = time_interval_3d(~, gravity, polynomialOrder,
% elementLength, cellStatus, fieldValues). One call in ten has more nodes than
% the module folds in one block.
  Np = twin_randi([0, 4]);
  K = twin_randi([0, 6]);
  if rand() < 0.1
    Np = 10;
    K = twin_randi([90, 300]);
  end
  rate = (rand() < 0.5) * 0.02;
  fieldValues = twin_values([Np, K, 3 + twin_randi([0, 1])], -0.2, 3, rate);
  elementLength = twin_values([K + twin_randi([0, 1]), 1], 0, 2, rate);
  ignored = {[], 1, 'x', {}};
  c = twin_case({ignored{twin_randi(4)}, twin_scalar(9.81), twin_scalar(2), elementLength, ...
                 twin_status(K), fieldValues}, 1, ...
                {'any', 'scalar', 'scalar', 'doubles', 'bytes', 'field'});
end
