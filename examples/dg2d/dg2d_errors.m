function [l1, l2] = dg2d_errors(u, mesh, exact)
% DG2D_ERRORS  L1 and L2 norms over the domain of u - exact, u nodal on the
% mesh (Np x K), exact a function of (x, y); by the 49-point rule of the
% reference triangle on every element.
  ref = mesh.ref;
  xq = ref.quadInterp * mesh.x;
  yq = ref.quadInterp * mesh.y;
  d = ref.quadInterp * u - exact(xq, yq);
  l1 = sum((ref.quadW' * abs(d)) .* mesh.J(1, :));
  l2 = sqrt(sum((ref.quadW' * d .^ 2) .* mesh.J(1, :)));
end
