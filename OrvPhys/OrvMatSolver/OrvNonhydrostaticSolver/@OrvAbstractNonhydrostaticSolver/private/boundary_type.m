function varargout = boundary_type(varargin)
% BOUNDARY_TYPE  The mask of boundary-face nodes whose face has a realised
% boundary type, with a notice for every face whose type is not realised.
%
%   realisedMask = boundary_type(boundaryTypes, faceNodeTemplate)
%
%   boundaryTypes:    int8, at least Nbe entries, BoundaryType of each boundary face
%   faceNodeTemplate: Nfp x Nbe, only its extents are used
%   realisedMask:     Nfp x Nbe, 1.0 on every node of a face with code 2..7, else 0.0
%
% Every other code (0, 1, 8..13, negative or above 13) prints
% "Unknown or Unrealized boundary type" once, in face order, even when Nfp = 0.
%
% Plain-M twin of boundary_type.cpp, which wins when it is built: same inputs,
% outputs, printed lines and error identifiers, and the same mask bit for bit.
  module = 'boundary_type';
  % 1. Argument counts.
  kernel_check_counts(module, 2, 1, nargin, nargout);

  % 2. Inputs: the template's extents, then the first Nbe code bytes.
  Nfp = size(varargin{2}, 1);
  Nbe = kernel_columns(varargin{2});
  kernel_require_bytes(module, varargin{1}, 0, 'boundaryTypes', Nbe, 'Nbe');
  codes = kernel_status_bytes(varargin{1}, Nbe);
  realised = codes >= 2 & codes <= 7;

  % 3. and 4. Output Nfp x Nbe: the nodes of realised faces are masked, the
  % other faces announced once each.
  realisedMask = repmat(double(realised), Nfp, 1);
  fprintf('%s', repmat(sprintf('Unknown or Unrealized boundary type\n'), 1, sum(~realised)));
  varargout{1} = realisedMask;
end
