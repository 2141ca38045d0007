function varargout = penalty_parameter(varargin)
% PENALTY_PARAMETER  The interior penalty parameter of the non-hydrostatic
% system, the largest over the elements of the edge-to-element size ratios
% summed over each element's edges and scaled by a polynomial factor.
%
%   penalty = penalty_parameter(elementSize, faceToElement, innerEdgeSize,
%                               boundaryFaceToElement, boundaryEdgeSize,
%                               cellShapeCode, polynomialOrder)
%
%   elementSize:           K entries (its element count sets K)
%   faceToElement:         2 x Nie, 1-based elements on both sides of each inner edge
%   innerEdgeSize:         Nie entries (its element count sets Nie)
%   boundaryFaceToElement: 2 x Nbe, row 1: 1-based element of each boundary edge
%   boundaryEdgeSize:      Nbe entries (its element count sets Nbe)
%   cellShapeCode:         int8, first byte s: 1, 2 or 3 selects the factor
%   polynomialOrder:       scalar N
%   penalty:               scalar, never below 0.0
%
% Inner edges give half their size to each side, boundary edges their whole
% size; the factor is (N + 1)(N + s)/s for s = 1, 2, 3, and 1 otherwise.
%
% Plain-M twin of penalty_parameter.cpp, which wins when it is built: same
% inputs, output, diagnostics and error identifiers, and the same penalty bit
% for bit. Each element's sum adds its contributions in the module's order
% (inner edges in order, the first side before the second, then boundary edges
% in order), one contribution per element per pass.
  module = 'penalty_parameter';
  % 1. Argument counts.
  kernel_check_counts(module, 7, 1, nargin, nargout);
  [elementSize, faceToElement, innerEdgeSize, boundaryFaceToElement, boundaryEdgeSize, ...
   cellShapeCode, polynomialOrder] = varargin{:};

  % 2. Inputs.
  kernel_require_double_array(module, elementSize, 0, 'elementSize');
  kernel_require_double_array(module, innerEdgeSize, 2, 'innerEdgeSize');
  kernel_require_double_array(module, boundaryEdgeSize, 4, 'boundaryEdgeSize');
  K = numel(elementSize);
  Nie = numel(innerEdgeSize);
  Nbe = numel(boundaryEdgeSize);
  kernel_require_doubles(module, faceToElement, 1, 'faceToElement', 2 * Nie, '2*Nie');
  kernel_require_doubles(module, boundaryFaceToElement, 3, 'boundaryFaceToElement', 2 * Nbe, '2*Nbe');
  kernel_require_indices(module, faceToElement, 1, 'faceToElement', 2 * Nie, 1, 0, K, 'K');
  kernel_require_indices(module, boundaryFaceToElement, 3, 'boundaryFaceToElement', Nbe, 2, 0, K, 'K');
  kernel_require_bytes(module, cellShapeCode, 5, 'cellShapeCode', 1, 'one code');
  s = kernel_status_bytes(cellShapeCode, 1);
  N = kernel_read_scalar(module, polynomialOrder, 6, 'polynomialOrder');

  % 3. Output: a scalar, from the finished value.

  % 4. Contributions in the module's order: both sides of every inner edge
  % (half the edge size over the side's element size), then every boundary
  % edge (its whole size over the owner's size).
  element = [reshape(fix(faceToElement(1:2 * Nie)), [], 1); ...
             reshape(fix(boundaryFaceToElement(1:2:2 * Nbe)), [], 1)];
  half = reshape(innerEdgeSize(1:Nie), 1, []) * 0.5;
  edge = [reshape([half; half], [], 1); reshape(boundaryEdgeSize(1:Nbe), [], 1)];
  contribution = edge ./ reshape(elementSize(element), [], 1);
  % Rank of each contribution among those of its element, in order (sort is
  % stable); pass r adds every element's r-th contribution.
  [sortedElement, order] = sort(element);
  first = [true; diff(sortedElement) ~= 0];
  start = cummax((1:numel(element))' .* first);
  rank = zeros(numel(element), 1);
  rank(order) = (1:numel(element))' - start + 1;
  acc = zeros(K, 1);
  for r = 1:max([rank; 0])
    pass = rank == r;
    acc(element(pass)) = contribution(pass) + acc(element(pass));
  end

  % The factor of the shape code; other codes leave the sums unscaled.
  switch s
    case 1
      a = 1.0 + N;
      factor = a * a;
    case 2
      factor = ((1.0 + N) * 0.5) * (2.0 + N);
    case 3
      factor = ((1.0 + N) * (3.0 + N)) / 3.0;
    otherwise
      factor = 1.0;
  end
  % The largest scaled sum above 0.0 (NaN never wins), else 0.0.
  scaled = acc * factor;
  penalty = max([scaled(scaled > 0); 0]);
  varargout{1} = penalty;
end
