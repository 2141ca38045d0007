% STILL_WATER_2D  Pre-balanced volume fluxes of a lake at rest over a sloping bed.
%
% Two triangles with three nodes each; the bed rises from z = 0 to z = 0.8 and
% the surface stays flat at eta = 1, so h = 1 - z and the water does not move.
% The second element is dry-ish at its shallow node: its depth there, 0.2,
% is still above the dry threshold; a third element is marked Dry. In the
% pre-balanced form the pressure term is 0.5*g*(h^2 - z^2): it varies across
% the elements, while its gradient balances the bed slope exactly.
root = fileparts(fileparts(mfilename('fullpath')));
module_dir = fullfile(root, 'Application', 'SWE', 'VolumeFluxSolver', ...
                      'SWEWDPrebalanceVolumeFluxSolver2d', 'private');

z = [0.0 0.2 0.4; 0.4 0.6 0.8; 0.8 0.9 1.0]';   % bed at 3 nodes of 3 elements
h = max(1 - z, 0);                              % flat surface eta = 1
hu = zeros(size(h));
hv = zeros(size(h));
fieldValues = cat(3, h, hu, hv, z);             % Np x K x 4: h, hu, hv, z
cellStatus = int8([4 4 5]);                     % Wet, Wet, Dry
gravity = 9.81;
dryThreshold = 1e-3;

old = cd(module_dir);
[E, G] = prebalance_volume_flux_2d(dryThreshold, gravity, cellStatus, fieldValues);
cd(old);

names = {'h', 'hu', 'hv'};
fprintf('Lake at rest over a sloping bed: g = %g, dry threshold = %g\n', gravity, dryThreshold);
fprintf('depth h (nodes x elements):\n'); disp(h);
for p = 1:3
  fprintf('E, flux of %s in x:\n', names{p}); disp(E(:, :, p));
end
for p = 1:3
  fprintf('G, flux of %s in y:\n', names{p}); disp(G(:, :, p));
end
fprintf('E(:,:,2) equals 0.5*g*(h.^2 - z.^2) on the wet elements: %d\n', ...
        isequal(E(:, 1:2, 2), (0.5 * gravity) * (h(:, 1:2) .* h(:, 1:2) - z(:, 1:2) .* z(:, 1:2))));
