function varargout = wet_dry_face_1d(varargin)
% WET_DRY_FACE_1D  The per-face wet/dry marker of the 1d solver: 1.0 for a face
% with an element that is not Wet (Dry and PressureFree included), 0.0 for a
% face between two wet elements.
%
%   faceMarker = wet_dry_face_1d(cellStatus, faceToElement)
%
%   cellStatus:    int8, K entries, CellStatus of each element
%   faceToElement: 2 x Nface, 1-based numbers of the two elements of each face;
%                  its columns give Nface
%   faceMarker:    1 x Nface
%
% Plain-M twin of wet_dry_face_1d.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same marker bit
% for bit.
  module = 'wet_dry_face_1d';
  % 1. Argument counts.
  kernel_check_counts(module, 2, 1, nargin, nargout);

  % 2. Inputs.
  Nface = kernel_columns(varargin{2});
  [codes, elements] = kernel_face_elements(module, varargin{1}, 0, varargin{2}, 1, Nface);

  % 3. and 4. Output 1 x Nface: the faces that touch a non-wet element.
  varargout{1} = double(kernel_non_wet_faces(codes, elements));
end
