function varargout = element_boundary_condition(varargin)
% ELEMENT_BOUNDARY_CONDITION  The boundary condition markers of the elements'
% faces, spread from the boundary faces onto an element-by-face table.
%
%   elementFaceMarker = element_boundary_condition(elementFaceTemplate,
%                           boundaryFaceToFace, boundaryFaceToElement, boundaryTypes)
%
%   elementFaceTemplate:   Nface x K, only its extents are used
%   boundaryFaceToFace:    2 x Nbe, row 1: 1-based local face of each boundary face
%   boundaryFaceToElement: 2 x Nbe, row 1: 1-based element of each boundary face
%   boundaryTypes:         int8, Nbe entries (its element count sets Nbe)
%   elementFaceMarker:     Nface x K, 1.0 for codes 0..12, 2.0 for code 13
%
% Codes outside 0..13 leave their position at 0.0, inner faces stay 0.0, and
% where two boundary faces name one position the later face wins. The second
% rows of the index arrays are not read.
%
% Plain-M twin of element_boundary_condition.cpp, which wins when it is built:
% same inputs, outputs, diagnostics and error identifiers, and the same table
% bit for bit.
  module = 'element_boundary_condition';
  % 1. Argument counts.
  kernel_check_counts(module, 4, 1, nargin, nargout);
  [elementFaceTemplate, boundaryFaceToFace, boundaryFaceToElement, boundaryTypes] = varargin{:};

  % 2. Inputs: extents from the template, Nbe from the codes' element count.
  Nface = size(elementFaceTemplate, 1);
  K = kernel_columns(elementFaceTemplate);
  Nbe = numel(boundaryTypes);
  kernel_require_bytes(module, boundaryTypes, 3, 'boundaryTypes', Nbe, 'Nbe');
  kernel_require_doubles(module, boundaryFaceToFace, 1, 'boundaryFaceToFace', 2 * Nbe, '2*Nbe');
  kernel_require_doubles(module, boundaryFaceToElement, 2, 'boundaryFaceToElement', 2 * Nbe, '2*Nbe');
  kernel_require_indices(module, boundaryFaceToFace, 1, 'boundaryFaceToFace', Nbe, 2, 0, Nface, 'Nface');
  kernel_require_indices(module, boundaryFaceToElement, 2, 'boundaryFaceToElement', Nbe, 2, 0, K, 'K');

  % 3. Output: Nface x K, zero-filled.
  elementFaceMarker = zeros(Nface, K);

  % 4. Known codes mark their (local face, element) position; an indexed
  % assignment stores in face order, so the later of two faces at one position
  % wins.
  t = kernel_status_bytes(boundaryTypes, Nbe);
  known = t >= 0 & t <= 13;
  r = fix(boundaryFaceToFace(1:2:2 * Nbe));
  e = fix(boundaryFaceToElement(1:2:2 * Nbe));
  position = (e(:)' - 1) * Nface + r(:)';
  elementFaceMarker(position(known)) = 1 + (t(known) == 13);
  varargout{1} = elementFaceMarker;
end
