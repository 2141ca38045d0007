function varargout = face_flux_1d(varargin)
% FACE_FLUX_1D  Plain-M twin of the compiled module face_flux_1d: the normal
% flux F*nx of the 1d shallow-water equations at every node of a set of faces.
%
%   normalFlux = face_flux_1d(dryThreshold, gravity, normalX, faceValues)
%
%   dryThreshold, gravity: scalars
%   normalX:    at least Nfp*Ne doubles, the normal at each face node
%   faceValues: Nfp x Ne x Nfield (Nfield >= 2), pages h, hu
%   normalFlux: Nfp x Ne x 2, pages: normal flux of h, hu
%
% The compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers, and the same operations in the
% same order: the result is bit-identical to the module's.
  module = 'face_flux_1d';
  kernel_check_counts(module, 4, 1, nargin, nargout);
  dryThreshold = kernel_read_scalar(module, varargin{1}, 0, 'dryThreshold');
  gravity = kernel_read_scalar(module, varargin{2}, 1, 'gravity');
  faceValues = varargin{4};
  kernel_require_field_pages(module, faceValues, 3, 'faceValues', 2, 'h, hu');
  Nfp = size(faceValues, 1);
  Ne = size(faceValues, 2);
  kernel_require_doubles(module, varargin{3}, 2, 'normalX', Nfp * Ne, 'Nfp*Ne');

  normalFlux = zeros(Nfp, Ne, 2);
  if Nfp * Ne > 0
    nx = kernel_leading(varargin{3}, [Nfp, Ne]);
    h = kernel_field_page(faceValues, 1);
    hu = kernel_field_page(faceValues, 2);
    % Velocity hu/h above the dry threshold, zero at or below it (and for NaN).
    u = hu ./ h;
    u(~(h > dryThreshold)) = 0;
    % Mass flux from the stored discharge; momentum flux with pressure g/2*h^2.
    momentum = (h .* u) .* u + (0.5 * gravity) * (h .* h);
    normalFlux = cat(3, hu .* nx, momentum .* nx);
  end
  varargout{1} = normalFlux;
end
