function varargout = nonhydro_vertical_volume_flux(varargin)
% NONHYDRO_VERTICAL_VOLUME_FLUX  Plain-M twin of the compiled module
% nonhydro_vertical_volume_flux: the volume fluxes of the vertical momentum hw
% of the 2d non-hydrostatic model, E = (hu*hw)/h in x and G = (hv*hw)/h in y,
% on wet elements only.
%
%   [volumeFluxX, volumeFluxY] = nonhydro_vertical_volume_flux(cellStatus,
%                                    dischargeX, dischargeY, verticalMomentum, depth)
%
%   cellStatus:       int8, at least K entries, CellStatus of each element
%   dischargeX, dischargeY, verticalMomentum: at least Np*K doubles, hu, hv, hw
%   depth:            Np x K, h at each node; its rows and columns give Np and K
%   volumeFluxX, volumeFluxY: Np x K
%
% Only Wet elements (status 4) carry a flux; every other code keeps zeros. No
% depth threshold applies. The compiled module, when built, takes precedence
% over this file. Same diagnostics, checks and error identifiers, and the same
% operations in the same order: the results are bit-identical to the module's.
  module = 'nonhydro_vertical_volume_flux';
  kernel_check_counts(module, 5, 2, nargin, nargout);
  depth = varargin{5};
  kernel_require_double_array(module, depth, 4, 'depth');
  Np = size(depth, 1);
  K = kernel_columns(depth);
  names = {'dischargeX', 'dischargeY', 'verticalMomentum'};
  for a = 1:3
    kernel_require_doubles(module, varargin{a + 1}, a, names{a}, Np * K, 'Np*K');
  end
  kernel_require_bytes(module, varargin{1}, 0, 'cellStatus', K, 'K');

  volumeFluxX = zeros(Np, K);
  volumeFluxY = zeros(Np, K);
  if Np * K > 0
    wet = repmat(kernel_status_bytes(varargin{1}, K) == 4, Np, 1);
    hu = kernel_leading(varargin{2}, [Np, K]);
    hv = kernel_leading(varargin{3}, [Np, K]);
    hw = kernel_leading(varargin{4}, [Np, K]);
    h = reshape(depth, Np, K);
    % Fluxes of the wet elements' nodes: the product first, then the division.
    volumeFluxX(wet) = (hu(wet) .* hw(wet)) ./ h(wet);
    volumeFluxY(wet) = (hv(wet) .* hw(wet)) ./ h(wet);
  end
  varargout{1} = volumeFluxX;
  varargout{2} = volumeFluxY;
end
