function codes = twin_codes(count)
% TWIN_CODES  count random CellStatus codes (int8, a row): mostly 4 Wet, 5 Dry
% and 7 PressureFree, the rest drawn from the whole int8 range.
  common = int8([4 4 4 4 5 7]);
  codes = common(twin_randi(numel(common), 1, count));
  other = rand(1, count) < 0.2;
  codes(other) = int8(twin_randi([-128, 127], 1, nnz(other)));
end
