function varargout = inner_edge_strong_rhs(varargin)
% INNER_EDGE_STRONG_RHS  Plain-M twin of the compiled module
% inner_edge_strong_rhs: the strong-form surface term of the right-hand side on
% a set of inner faces. Each face adds to both of its elements the face mass
% matrix times faceJacobian times that side's jump against the numerical flux
% (with the opposite sign on the adjacent side); then every element column is
% multiplied by the inverse mass matrix and divided by the element Jacobian.
%
%   rhs = inner_edge_strong_rhs(inverseMassMatrix, faceMassMatrix, faceToElement,
%                               faceToNodeLocal, faceToNodeAdjacent, faceJacobian,
%                               jacobian, fluxLocal, fluxAdjacent, numericalFlux)
%
%   inverseMassMatrix: Np x Np          faceMassMatrix: Nfp x Nfp
%   faceToElement:     2 x Nface, local and adjacent element (1-based)
%   faceToNodeLocal, faceToNodeAdjacent: Nfp x Nface, node in the element (1-based)
%   faceJacobian:      Nfp x Nface      jacobian: Np x K
%   fluxLocal, fluxAdjacent, numericalFlux: Nfp x Nface x Nfield, all oriented
%                      by the local side's outward normal
%   rhs:               Np x K x Nfield
%
% The compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers; the face terms are gathered with
% the module's operations in its order, and the mass-matrix product is the
% host's own: the result agrees with the module's within the rounding of that
% product.
  module = 'inner_edge_strong_rhs';
  kernel_check_counts(module, 10, 1, nargin, nargout);
  set = kernel_edge_face_set(module, varargin, true);
  % Each side's flux minus the numerical flux.
  dL = set.fluxLocal - set.numericalFlux;
  dA = set.fluxAdjacent - set.numericalFlux;
  varargout{1} = kernel_edge_rhs(set, dL, dA);
end
