function [h, hu, hv, z] = dg2d_thacker(x, y, t, a, h0, sigma, g)
% DG2D_THACKER  Thacker's planar surface in a paraboloid: the bed
% z = h0 (r^2 / a^2 - 1) holds a body of water whose surface stays a plane
% and whose centre circles at radius sigma with omega = sqrt(2 g h0) / a:
% h = max(0, sigma h0 / a^2 (2 x cos(wt) + 2 y sin(wt) - sigma) - z),
% u = -sigma w sin(wt), v = sigma w cos(wt) where wet.
  omega = sqrt(2 * g * h0) / a;
  z = h0 * ((x .^ 2 + y .^ 2) / a ^ 2 - 1);
  h = max(0, sigma * h0 / a ^ 2 * (2 * x * cos(omega * t) + 2 * y * sin(omega * t) - sigma) - z);
  hu = h * (-sigma * omega * sin(omega * t));
  hv = h * (sigma * omega * cos(omega * t));
end
