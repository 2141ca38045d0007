function varargout = nonhydro_vertical_face_flux(varargin)
% NONHYDRO_VERTICAL_FACE_FLUX  Plain-M twin of the compiled module
% nonhydro_vertical_face_flux: the normal flux of the vertical momentum hw,
% E*nx + G*ny with E = hu*hw/h and G = hv*hw/h, at the nodes of one side of
% every face between two wet elements.
%
%   normalFlux = nonhydro_vertical_face_flux(cellStatus, faceToElement, ignoredScalar,
%                    depth, dischargeX, dischargeY, verticalMomentum, normalX, normalY)
%
%   cellStatus:    int8, K entries, CellStatus of each element
%   faceToElement: 2 x Nface, 1-based numbers of the two elements of each face
%   ignoredScalar: a numeric scalar, read and dropped
%   depth ... normalY: Nfp x Nface each; depth gives Nfp and Nface
%   normalFlux:    Nfp x Nface
%
% Faces with an element that is not Wet keep 0; no depth threshold. The
% compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers, and the same operations in the
% same order: the result is bit-identical to the module's.
  module = 'nonhydro_vertical_face_flux';
  kernel_check_counts(module, 9, 1, nargin, nargout);
  names = {'depth', 'dischargeX', 'dischargeY', 'verticalMomentum', 'normalX', 'normalY'};
  kernel_require_double_array(module, varargin{4}, 3, names{1});
  Nfp = size(varargin{4}, 1);
  Nface = kernel_columns(varargin{4});
  [codes, elements] = kernel_face_elements(module, varargin{1}, 0, varargin{2}, 1, Nface);
  kernel_read_scalar(module, varargin{3}, 2, 'ignoredScalar');
  in = kernel_node_inputs(module, varargin, 3, names, Nfp, Nface);
  [h, hu, hv, hw, nx, ny] = in{:};

  normalFlux = zeros(Nfp, Nface);
  wetFaces = ~kernel_non_wet_faces(codes, elements);
  if any(wetFaces) && Nfp > 0
    % Normal flux of hw at the nodes of faces between two wet elements.
    h = h(:, wetFaces);
    normalFlux(:, wetFaces) = ((hu(:, wetFaces) .* hw(:, wetFaces)) ./ h) .* nx(:, wetFaces) + ...
                              ((hv(:, wetFaces) .* hw(:, wetFaces)) ./ h) .* ny(:, wetFaces);
  end
  varargout{1} = normalFlux;
end
