function varargout = point_to_cell_info(varargin)
% POINT_TO_CELL_INFO  The compressed-column structure of the point-to-cell
% sparse matrix (cells x points), handed back as two double vectors.
%
%   [columnStarts, rowIndices] = point_to_cell_info(columnCount, pointCellMatrix)
%
%   columnCount:     scalar P, truncated toward zero, 0 <= P <= points
%   pointCellMatrix: sparse, cells x points; its values are not read
%   columnStarts:    (P + 1) x 1, 0-based offsets of points 0..P into rowIndices
%   rowIndices:      nnz x 1, 0-based cells of the first P points (nnz = columnStarts(P + 1))
%
% The cells of point p are rowIndices(columnStarts(p) + 1 : columnStarts(p + 1))
% in MATLAB terms; both outputs stay 0-based.
%
% Plain-M twin of point_to_cell_info.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same structure
% for every matrix that stores no explicit zeros (the module reports stored
% entries, this twin the nonzero ones).
  module = 'point_to_cell_info';
  % 1. Argument counts.
  kernel_check_counts(module, 2, 2, nargin, nargout);
  [columnCount, pointCellMatrix] = varargin{:};

  % 2. Inputs. Truncated toward zero, the count must lie in 0..points and fit
  % 32 bits (NaN and Inf fail).
  count = kernel_read_scalar(module, columnCount, 0, 'columnCount');
  kernel_require_sparse(module, pointCellMatrix, 1, 'pointCellMatrix');
  points = kernel_columns(pointCellMatrix);
  if ~(count > -1 && count < points + 1 && count < 2147483648)
    kernel_fail(module, 'columnCountOutOfRange', ...
                ['Input 0 (columnCount) holds %s; truncated, it must lie in 0..%d, the columns of ' ...
                 'pointCellMatrix.'], kernel_format_g17(count), points);
  end
  P = fix(count);

  % 3. and 4. Outputs: the column starts of points 0..P, then the row indices
  % of their entries, 0-based, in column order.
  leading = pointCellMatrix(:, 1:P);
  columnStarts = [0; cumsum(full(sum(leading ~= 0, 1)), 2)'];
  [row, ~] = find(leading);
  varargout{1} = columnStarts;
  varargout{2} = reshape(row, [], 1) - 1;
end
