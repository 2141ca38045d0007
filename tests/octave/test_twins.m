function tests = test_twins()
% Each module against its plain-M twin on random calls, valid and invalid: the
% same outputs (bit for bit, NaN payloads aside, or within the rounding of the
% mass-matrix product for the edge modules), the same printed diagnostics and
% the same error identifiers and messages. The base seed is random unless the
% environment variable TWIN_SEED sets it; every failure prints the seed of its
% case, and TWIN_SEED=<seed> with calls = 1 replays it.
%
% A row: module, calls, comparison ('bits' or 'edge'). Each module has a
% generator twin_case_<module>.m returning one random call (twin_case.m).
  rows = {
    'mesh_connection',               300, 'bits'
    'downwind_flux_2d',              300, 'bits'
    'face_normal_vector',            300, 'bits'
    'wet_dry_face_1d',               300, 'bits'
    'boundary_type',                 300, 'bits'
    'element_boundary_condition',    300, 'bits'
    'boundary_primitive_flux',       300, 'bits'
    'penalty_parameter',             300, 'bits'
    'point_to_cell_info',            300, 'bits'
    'prebalance_volume_flux_2d',     300, 'bits'
    'face_flux_2d',                  300, 'bits'
    'face_flux_1d',                  300, 'bits'
    'time_interval_3d',              300, 'bits'
    'wd_volume_flux_1d',             300, 'bits'
    'upwind_flux_2d',                300, 'bits'
    'nonhydro_vertical_volume_flux', 300, 'bits'
    'nonhydro_vertical_face_flux',   300, 'bits'
    'inner_edge_strong_rhs',         300, 'edge'
    'bottom_edge_alter_rhs',         300, 'edge'
    'bottom_edge_central_rhs',       300, 'edge'
  };
  tests = cell(1, size(rows, 1));
  for r = 1:size(rows, 1)
    tests{r} = eval(sprintf('@() twin_compare(''%s'', %d, ''%s'')', rows{r, :}));
  end
end
