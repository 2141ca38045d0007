function varargout = prebalance_volume_flux_2d(varargin)
% PREBALANCE_VOLUME_FLUX_2D  Plain-M twin of the compiled module
% prebalance_volume_flux_2d: the volume fluxes E (in x) and G (in y) of the 2d
% shallow-water equations in pre-balanced form, with wetting and drying.
%
%   [E, G] = prebalance_volume_flux_2d(dryThreshold, gravity, cellStatus, fieldValues)
%
%   dryThreshold, gravity: scalars
%   cellStatus:  int8, at least K entries, CellStatus of each element
%   fieldValues: Np x K x Nfield (Nfield >= 4), pages h, hu, hv, z
%   E, G:        Np x K x 3, pages: flux of h, hu, hv
%
% Dry elements (5) keep zero fluxes; PressureFree elements (7) drop the
% pressure term 0.5*g*(h^2 - z^2); nodes at or below the threshold carry no
% flux. The compiled module, when built, takes precedence over this file. Same
% diagnostics, checks and error identifiers, and the same operations in the
% same order: the results are bit-identical to the module's.
  module = 'prebalance_volume_flux_2d';
  kernel_check_counts(module, 4, 2, nargin, nargout);
  dryThreshold = kernel_read_scalar(module, varargin{1}, 0, 'dryThreshold');
  gravity = kernel_read_scalar(module, varargin{2}, 1, 'gravity');
  fieldValues = varargin{4};
  kernel_require_field_pages(module, fieldValues, 3, 'fieldValues', 4, 'h, hu, hv, z');
  Np = size(fieldValues, 1);
  K = size(fieldValues, 2);
  kernel_require_bytes(module, varargin{3}, 2, 'cellStatus', K, 'K');

  E = zeros(Np, K, 3);
  G = zeros(Np, K, 3);
  if Np * K > 0
    status = kernel_status_bytes(varargin{3}, K);
    h = kernel_field_page(fieldValues, 1);
    hu = kernel_field_page(fieldValues, 2);
    hv = kernel_field_page(fieldValues, 3);
    z = kernel_field_page(fieldValues, 4);
    % Half gravity of each element: none on PressureFree elements.
    g = repmat(gravity, 1, K);
    g(status == 7) = 0.0;
    halfG = 0.5 * g;
    % Nodes that carry a flux: above the threshold, in an element that is not Dry.
    wet = h > dryThreshold & repmat(status ~= 5, Np, 1);
    p = halfG .* (h .* h - z .* z);
    q = (hu .* hv) ./ h;
    xx = (hu .* hu) ./ h + p;
    yy = (hv .* hv) ./ h + p;
    E = cat(3, select(wet, hu), select(wet, xx), select(wet, q));
    G = cat(3, select(wet, hv), select(wet, q), select(wet, yy));
  end
  varargout{1} = E;
  varargout{2} = G;
end

function y = select(wet, x)
  % x where wet, +0.0 elsewhere.
  y = zeros(size(x));
  y(wet) = x(wet);
end
