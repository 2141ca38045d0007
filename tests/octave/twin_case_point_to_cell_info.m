function c = twin_case_point_to_cell_info()
% TWIN_CASE_POINT_TO_CELL_INFO  point_to_cell_info(columnCount, pointCellMatrix).
  cells = twin_randi([0, 6]);
  points = twin_randi([0, 6]);
  matrix = sprand(cells, points, rand());
  if rand() < 0.2
    matrix = matrix ~= 0;
  end
  % Mostly all columns; else fewer, a fraction that truncates, or a count
  % outside 0..points.
  counts = [points, points, twin_randi([0, points]), points + 0.9, -0.5, points + 1, -1, NaN];
  count = counts(twin_randi(numel(counts)));
  if rand() < 0.05
    matrix = full(matrix);
  end
  c = twin_case({count, matrix}, 2, {'scalar', 'any'});
end
