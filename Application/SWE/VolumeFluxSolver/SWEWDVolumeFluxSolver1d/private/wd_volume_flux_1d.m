function varargout = wd_volume_flux_1d(varargin)
% WD_VOLUME_FLUX_1D  Plain-M twin of the compiled module wd_volume_flux_1d: the
% volume flux F of the 1d shallow-water equations with wetting and drying,
% pressure in pre-balanced form.
%
%   F = wd_volume_flux_1d(dryThreshold, gravity, cellStatus, fieldValues)
%
%   dryThreshold, gravity: scalars
%   cellStatus:  int8, at least K entries, CellStatus of each element
%   fieldValues: Np x K x Nfield (Nfield >= 3), pages h, hu, z
%   F:           Np x K x 2, pages: flux of h, hu
%
% Dry elements (5) keep zero fluxes; PressureFree elements (7) drop the
% pressure term 0.5*g*(h^2 - z^2). Nodes at or below the threshold carry no
% mass flux and no advection, but keep the pressure term. The compiled module,
% when built, takes precedence over this file. Same diagnostics, checks and
% error identifiers, and the same operations in the same order: the result is
% bit-identical to the module's.
  module = 'wd_volume_flux_1d';
  kernel_check_counts(module, 4, 1, nargin, nargout);
  dryThreshold = kernel_read_scalar(module, varargin{1}, 0, 'dryThreshold');
  gravity = kernel_read_scalar(module, varargin{2}, 1, 'gravity');
  fieldValues = varargin{4};
  kernel_require_field_pages(module, fieldValues, 3, 'fieldValues', 3, 'h, hu, z');
  Np = size(fieldValues, 1);
  K = size(fieldValues, 2);
  kernel_require_bytes(module, varargin{3}, 2, 'cellStatus', K, 'K');

  F = zeros(Np, K, 2);
  if Np * K > 0
    status = kernel_status_bytes(varargin{3}, K);
    h = kernel_field_page(fieldValues, 1);
    hu = kernel_field_page(fieldValues, 2);
    z = kernel_field_page(fieldValues, 3);
    % Half gravity of each element: none on PressureFree elements.
    g = repmat(gravity, 1, K);
    g(status == 7) = 0.0;
    halfG = 0.5 * g;
    % Pressure at every node; above the threshold also the discharge and the
    % advection, in elements that are not Dry.
    p = halfG .* (h .* h - z .* z);
    momentum = (hu .* hu) ./ h + p;
    computed = repmat(status ~= 5, Np, 1);
    wet = computed & h > dryThreshold;
    Fh = zeros(Np, K);
    Fhu = zeros(Np, K);
    Fh(wet) = hu(wet);
    Fhu(computed) = p(computed);
    Fhu(wet) = momentum(wet);
    F = cat(3, Fh, Fhu);
  end
  varargout{1} = F;
end
