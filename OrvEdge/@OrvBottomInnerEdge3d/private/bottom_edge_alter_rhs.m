function varargout = bottom_edge_alter_rhs(varargin)
% BOTTOM_EDGE_ALTER_RHS  Plain-M twin of the compiled module
% bottom_edge_alter_rhs: the strong-form surface term of the right-hand side on
% the bottom inner edges of the 3d mesh, with the alternating flux: each side's
% jump is taken against the other side's flux, so both elements of a face
% receive faceMassMatrix * (faceJacobian .* (fluxLocal - fluxAdjacent)), each
% through its own node map; then every element column is multiplied by the
% inverse mass matrix and divided by the element Jacobian.
%
%   rhs = bottom_edge_alter_rhs(inverseMassMatrix, faceMassMatrix, faceToElement,
%                               faceToNodeLocal, faceToNodeAdjacent, faceJacobian,
%                               jacobian, fluxLocal, fluxAdjacent)
%
%   shapes as for inner_edge_strong_rhs, without numericalFlux; rhs Np x K x Nfield.
%
% The compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers; the face terms are gathered with
% the module's operations in its order, and the mass-matrix product is the
% host's own: the result agrees with the module's within the rounding of that
% product.
  module = 'bottom_edge_alter_rhs';
  kernel_check_counts(module, 9, 1, nargin, nargout);
  set = kernel_edge_face_set(module, varargin, false);
  % The local side against the adjacent flux, the adjacent side against the local.
  dL = set.fluxLocal - set.fluxAdjacent;
  dA = set.fluxAdjacent - set.fluxLocal;
  varargout{1} = kernel_edge_rhs(set, dL, dA);
end
