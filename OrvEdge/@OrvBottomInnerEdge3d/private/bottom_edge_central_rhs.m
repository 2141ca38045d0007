function varargout = bottom_edge_central_rhs(varargin)
% BOTTOM_EDGE_CENTRAL_RHS  Plain-M twin of the compiled module
% bottom_edge_central_rhs: the strong-form surface term of the right-hand side
% on the bottom inner edges of the 3d mesh, with the central flux (the mean of
% the two sides' fluxes): both elements of a face receive
% faceMassMatrix * (faceJacobian .* (0.5 * (fluxLocal - fluxAdjacent))), each
% through its own node map; then every element column is multiplied by the
% inverse mass matrix and divided by the element Jacobian.
%
%   rhs = bottom_edge_central_rhs(inverseMassMatrix, faceMassMatrix, faceToElement,
%                                 faceToNodeLocal, faceToNodeAdjacent, faceJacobian,
%                                 jacobian, fluxLocal, fluxAdjacent)
%
%   shapes as for inner_edge_strong_rhs, without numericalFlux; rhs Np x K x Nfield.
%
% The compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers; the face terms are gathered with
% the module's operations in its order, and the mass-matrix product is the
% host's own: the result agrees with the module's within the rounding of that
% product.
  module = 'bottom_edge_central_rhs';
  kernel_check_counts(module, 9, 1, nargin, nargout);
  set = kernel_edge_face_set(module, varargin, false);
  % Half of each side's flux minus the other's, the difference formed first.
  dL = 0.5 * (set.fluxLocal - set.fluxAdjacent);
  dA = 0.5 * (set.fluxAdjacent - set.fluxLocal);
  varargout{1} = kernel_edge_rhs(set, dL, dA);
end
