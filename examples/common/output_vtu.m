function output_vtu(file, points, pointsPerCell, cellType, names, values)
% OUTPUT_VTU  Write a VTK XML UnstructuredGrid file whose cells each have
% their own points, pointsPerCell consecutive points per cell, all of the
% type cellType (VTK's number). points: n x 3; names: cell array of the point
% data names; values: cell array of n x 1 doubles. The arrays are raw
% little-endian binary appended after the XML (64-bit byte counts), which
% VTK reads without decoding: files stay small and fast to write.
  n = size(points, 1);
  cells = n / pointsPerCell;
  arrays = [values(:)', {points', (0:n - 1)', pointsPerCell * (1:cells)', cellType * ones(cells, 1)}];
  types = [repmat({'Float64'}, 1, numel(values) + 1), {'Int64', 'Int64', 'UInt8'}];
  precisions = [repmat({'double'}, 1, numel(values) + 1), {'int64', 'int64', 'uint8'}];
  bytes = [8 * ones(1, numel(values) + 1), 8, 8, 1] .* cellfun(@numel, arrays);
  offsets = cumsum([0, bytes(1:end - 1) + 8]);
  fid = fopen(file, 'w', 'ieee-le');
  if fid < 0
    error('output_vtu:open', 'Cannot write %s.', file);
  end
  closer = onCleanup(@() fclose(fid));
  element = @(i, extra) sprintf('<DataArray type="%s"%s format="appended" offset="%d"/>\n', ...
                                types{i}, extra, offsets(i));
  fprintf(fid, ['<?xml version="1.0"?>\n<VTKFile type="UnstructuredGrid" version="1.0" ' ...
                'byte_order="LittleEndian" header_type="UInt64">\n<UnstructuredGrid>\n' ...
                '<Piece NumberOfPoints="%d" NumberOfCells="%d">\n<PointData>\n'], n, cells);
  for i = 1:numel(values)
    fprintf(fid, '%s', element(i, sprintf(' Name="%s"', names{i})));
  end
  m = numel(values);
  fprintf(fid, '</PointData>\n<Points>\n%s</Points>\n<Cells>\n%s%s%s</Cells>\n', ...
          element(m + 1, ' NumberOfComponents="3"'), element(m + 2, ' Name="connectivity"'), ...
          element(m + 3, ' Name="offsets"'), element(m + 4, ' Name="types"'));
  fprintf(fid, '</Piece>\n</UnstructuredGrid>\n<AppendedData encoding="raw">\n_');
  % Each array: its length in bytes, then its values.
  for i = 1:numel(arrays)
    fwrite(fid, bytes(i), 'uint64');
    fwrite(fid, arrays{i}, precisions{i});
  end
  fprintf(fid, '\n</AppendedData>\n</VTKFile>\n');
end
