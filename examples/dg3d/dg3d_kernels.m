function kernels = dg3d_kernels(variant)
% DG3D_KERNELS  Handles to the modules the 3d solver calls ('modules') or to
% their plain Octave twins ('plain'), through dg2d_kernels.
  kernels = dg2d_kernels(variant, {'bottom_edge_alter_rhs', 'bottom_edge_central_rhs', ...
                                   'inner_edge_strong_rhs', 'time_interval_3d'});
end
