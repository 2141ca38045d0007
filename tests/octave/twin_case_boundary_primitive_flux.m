function c = twin_case_boundary_primitive_flux()
% TWIN_CASE_BOUNDARY_PRIMITIVE_FLUX  boundary_primitive_flux(edgeIndicator,
% variableValues, normalComponent).
  Nfp = twin_randi([0, 4]);
  Nbe = twin_randi([0, 6]);
  indicators = [-1, -1, -1, 0, 1, -2, -0.5, NaN];
  edgeIndicator = indicators(twin_randi(numel(indicators), 1, Nfp * Nbe + twin_randi([0, 1])));
  % Only the flat order of the first two inputs counts.
  c = twin_case({edgeIndicator, twin_values([Nfp * Nbe, 1]), twin_values([Nfp, Nbe])}, 1, ...
                {'doubles', 'doubles', 'doubles'});
end
