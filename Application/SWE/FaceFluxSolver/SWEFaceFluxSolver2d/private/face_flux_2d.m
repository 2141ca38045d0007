function varargout = face_flux_2d(varargin)
% FACE_FLUX_2D  Plain-M twin of the compiled module face_flux_2d: the normal
% flux nx*E + ny*G of the 2d shallow-water equations at every node of a set of
% faces.
%
%   normalFlux = face_flux_2d(dryThreshold, gravity, normalX, normalY, faceValues)
%
%   dryThreshold, gravity: scalars
%   normalX, normalY: at least Nfp*Ne doubles, the normal at each face node
%   faceValues: Nfp x Ne x Nfield (Nfield >= 3), pages h, hu, hv
%   normalFlux: Nfp x Ne x 3, pages: normal flux of h, hu, hv
%
% The mass flux is the stored discharge itself; the pressure is 0.5*g*h^2 at
% every node; nodes at or below the threshold have zero velocity. The compiled
% module, when built, takes precedence over this file. Same diagnostics, checks
% and error identifiers, and the same operations in the same order: the result
% is bit-identical to the module's.
  module = 'face_flux_2d';
  kernel_check_counts(module, 5, 1, nargin, nargout);
  dryThreshold = kernel_read_scalar(module, varargin{1}, 0, 'dryThreshold');
  gravity = kernel_read_scalar(module, varargin{2}, 1, 'gravity');
  faceValues = varargin{5};
  kernel_require_field_pages(module, faceValues, 4, 'faceValues', 3, 'h, hu, hv');
  Nfp = size(faceValues, 1);
  Ne = size(faceValues, 2);
  kernel_require_doubles(module, varargin{3}, 2, 'normalX', Nfp * Ne, 'Nfp*Ne');
  kernel_require_doubles(module, varargin{4}, 3, 'normalY', Nfp * Ne, 'Nfp*Ne');

  normalFlux = zeros(Nfp, Ne, 3);
  if Nfp * Ne > 0
    nx = kernel_leading(varargin{3}, [Nfp, Ne]);
    ny = kernel_leading(varargin{4}, [Nfp, Ne]);
    h = kernel_field_page(faceValues, 1);
    hu = kernel_field_page(faceValues, 2);
    hv = kernel_field_page(faceValues, 3);
    % Velocity above the dry threshold, zero at or below it (and for NaN).
    dry = ~(h > dryThreshold);
    u = hu ./ h;
    v = hv ./ h;
    u(dry) = 0;
    v(dry) = 0;
    % Fluxes E = (hu, h*u*u + p, w) and G = (hv, w, h*v*v + p), then n.(E, G).
    w = (h .* u) .* v;
    p = (0.5 * gravity) * (h .* h);
    Ehu = (h .* u) .* u + p;
    Ghv = (h .* v) .* v + p;
    normalFlux = cat(3, nx .* hu + ny .* hv, nx .* Ehu + ny .* w, nx .* w + ny .* Ghv);
  end
  varargout{1} = normalFlux;
end
