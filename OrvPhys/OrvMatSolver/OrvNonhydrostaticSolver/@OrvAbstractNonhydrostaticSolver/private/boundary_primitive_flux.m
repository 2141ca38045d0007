function varargout = boundary_primitive_flux(varargin)
% BOUNDARY_PRIMITIVE_FLUX  The flux of a primitive variable on the nodes of the
% boundary edges, the variable times a normal component, switched off where the
% edge indicator is -1.
%
%   boundaryEdgeFlux = boundary_primitive_flux(edgeIndicator, variableValues, normalComponent)
%
%   edgeIndicator:    at least Nfp*Nbe entries, read in flat order
%   variableValues:   at least Nfp*Nbe entries, read in flat order
%   normalComponent:  Nfp x Nbe, sets the extents
%   boundaryEdgeFlux: Nfp x Nbe, 0.0 where the indicator equals -1.0, else
%                     variableValues .* normalComponent
%
% The indicator test is an ordered equality: a NaN indicator keeps the product.
%
% Plain-M twin of boundary_primitive_flux.cpp, which wins when it is built: same
% inputs, outputs, diagnostics and error identifiers, and the same flux bit for
% bit.
  module = 'boundary_primitive_flux';
  % 1. Argument counts.
  kernel_check_counts(module, 3, 1, nargin, nargout);
  [edgeIndicator, variableValues, normalComponent] = varargin{:};

  % 2. Inputs.
  kernel_require_double_array(module, normalComponent, 2, 'normalComponent');
  Nfp = size(normalComponent, 1);
  Nbe = kernel_columns(normalComponent);
  n = Nfp * Nbe;
  kernel_require_doubles(module, edgeIndicator, 0, 'edgeIndicator', n, 'Nfp*Nbe');
  kernel_require_doubles(module, variableValues, 1, 'variableValues', n, 'Nfp*Nbe');

  % 3. and 4. Output Nfp x Nbe: the variable's normal flux at every boundary
  % edge node, none on switched-off nodes.
  boundaryEdgeFlux = kernel_leading(variableValues, [Nfp, Nbe]) .* kernel_leading(normalComponent, [Nfp, Nbe]);
  boundaryEdgeFlux(edgeIndicator(1:n) == -1) = 0;
  varargout{1} = boundaryEdgeFlux;
end
