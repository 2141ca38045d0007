function varargout = upwind_flux_2d(varargin)
% UPWIND_FLUX_2D  Plain-M twin of the compiled module upwind_flux_2d: the
% upwind numerical normal flux q*(u.n) of a field q that the depth-averaged
% flow carries, on faces between two wet elements.
%
%   upwindFlux = upwind_flux_2d(cellStatus, faceToElement,
%                               depthLocal, dischargeXLocal, dischargeYLocal, scalarLocal,
%                               depthAdjacent, dischargeXAdjacent, dischargeYAdjacent, scalarAdjacent,
%                               normalX, normalY)
%
%   cellStatus:    int8, K entries, CellStatus of each element
%   faceToElement: 2 x Nface, 1-based local (row 1) and adjacent (row 2) element
%   depthLocal ... normalY: Nfp x Nface each; depthLocal gives Nfp and Nface
%   upwindFlux:    Nfp x Nface
%
% Where both normal discharges agree in direction q is taken from the side the
% flow comes from, (q*qn)/h; otherwise (or with a NaN) the two one-sided
% fluxes are averaged. Faces with an element that is not Wet keep 0. The
% compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers, and the same operations in the
% same order: the result is bit-identical to the module's.
  module = 'upwind_flux_2d';
  kernel_check_counts(module, 12, 1, nargin, nargout);
  names = {'depthLocal', 'dischargeXLocal', 'dischargeYLocal', 'scalarLocal', ...
           'depthAdjacent', 'dischargeXAdjacent', 'dischargeYAdjacent', 'scalarAdjacent', ...
           'normalX', 'normalY'};
  kernel_require_double_array(module, varargin{3}, 2, names{1});
  Nfp = size(varargin{3}, 1);
  Nface = kernel_columns(varargin{3});
  [codes, elements] = kernel_face_elements(module, varargin{1}, 0, varargin{2}, 1, Nface);
  in = kernel_node_inputs(module, varargin, 2, names, Nfp, Nface);
  [hL, huL, hvL, qL, hA, huA, hvA, qA, nx, ny] = in{:};

  upwindFlux = zeros(Nfp, Nface);
  wetFaces = ~kernel_non_wet_faces(codes, elements);
  if any(wetFaces) && Nfp > 0
    % Normal discharges of both sides; the side the flow comes from.
    qnL = huL .* nx + hvL .* ny;
    qnA = huA .* nx + hvA .* ny;
    fromLocal = qnL > 0 & qnA >= 0;
    fromAdjacent = qnL <= 0 & qnA < 0;
    % Upwind value, or the central average of the one-sided fluxes.
    flux = (((qL .* huL) ./ hL + (qA .* huA) ./ hA) .* nx) .* 0.5 + ...
           (((qL .* hvL) ./ hL + (qA .* hvA) ./ hA) .* ny) .* 0.5;
    local = (qL .* qnL) ./ hL;
    adjacent = (qA .* qnA) ./ hA;
    flux(fromAdjacent) = adjacent(fromAdjacent);
    flux(fromLocal) = local(fromLocal);
    upwindFlux(:, wetFaces) = flux(:, wetFaces);
  end
  varargout{1} = upwindFlux;
end
