function varargout = downwind_flux_2d(varargin)
% DOWNWIND_FLUX_2D  The downwind numerical flux of two fields paired with the
% x and the y component of the face normal, on faces between two wet elements.
%
%   [downwindFluxX, downwindFluxY] = downwind_flux_2d(cellStatus, faceToElement,
%       dischargeXLocal, dischargeYLocal, dischargeXAdjacent, dischargeYAdjacent,
%       fieldXLocal, fieldXAdjacent, fieldYLocal, fieldYAdjacent, normalX, normalY)
%
%   cellStatus:    int8, K entries, CellStatus of each element
%   faceToElement: 2 x Nface, 1-based local (row 1) and adjacent (row 2) element
%   dischargeXLocal ... normalY: Nfp x Nface each, hu, hv of the local and the
%                  adjacent side, the x-paired field (local, adjacent), the
%                  y-paired field (local, adjacent), and the normal (outward for
%                  the local side); dischargeXLocal gives Nfp and Nface
%   downwindFluxX, downwindFluxY: Nfp x Nface
%
% Where both normal discharges agree in direction each field takes the value of
% the side the flow runs towards, otherwise the average of both sides; the
% result is that value times nx (first output) and times ny (second). Faces
% with an element that is not Wet (Dry and PressureFree included) keep 0.
%
% Plain-M twin of downwind_flux_2d.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same fluxes bit
% for bit (every node's operations in the module's order).
  module = 'downwind_flux_2d';
  % 1. Argument counts.
  kernel_check_counts(module, 12, 2, nargin, nargout);

  % 2. Inputs: extents from dischargeXLocal, the faces that touch a non-wet
  % element, then the ten per-node inputs as Nfp x Nface.
  kernel_require_double_array(module, varargin{3}, 2, 'dischargeXLocal');
  Nfp = size(varargin{3}, 1);
  Nface = kernel_columns(varargin{3});
  [codes, elements] = kernel_face_elements(module, varargin{1}, 0, varargin{2}, 1, Nface);
  names = {'dischargeXLocal', 'dischargeYLocal', 'dischargeXAdjacent', 'dischargeYAdjacent', 'fieldXLocal', ...
           'fieldXAdjacent', 'fieldYLocal', 'fieldYAdjacent', 'normalX', 'normalY'};
  in = kernel_node_inputs(module, varargin, 2, names, Nfp, Nface);
  [huL, hvL, huA, hvA, xL, xA, yL, yA, nx, ny] = in{:};

  % 3. and 4. Outputs Nfp x Nface. Where the flow runs at every node: out of
  % the local element (qnL > 0, qnA >= 0) it takes the adjacent value, into it
  % (qnL <= 0, qnA < 0) the local one, else (NaN included) the average.
  [fromLocal, fromAdjacent] = kernel_normal_flow_side(huL, hvL, huA, hvA, nx, ny);
  x = (xL + xA) * 0.5;
  x(fromAdjacent) = xL(fromAdjacent);
  x(fromLocal) = xA(fromLocal);
  y = (yL + yA) * 0.5;
  y(fromAdjacent) = yL(fromAdjacent);
  y(fromLocal) = yA(fromLocal);
  downwindFluxX = x .* nx;
  downwindFluxY = y .* ny;
  % Faces with a non-wet element keep 0.
  nonWet = kernel_non_wet_faces(codes, elements);
  downwindFluxX(:, nonWet) = zeros(Nfp, nnz(nonWet));
  downwindFluxY(:, nonWet) = zeros(Nfp, nnz(nonWet));
  varargout = {downwindFluxX, downwindFluxY};
end
