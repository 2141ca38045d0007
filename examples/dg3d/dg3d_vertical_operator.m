function op = dg3d_vertical_operator(mesh, kernels, nu, opt)
% DG3D_VERTICAL_OPERATOR  The vertical viscosity of dg3d_vertical_rhs as a
% matrix on one vertical line of unit depth, assembled by the same modules:
% the prism fields of a two-triangle column hold the Nc unit vectors of a
% line as Nc field pages, so one call of each module gives every column of
% the matrix. On a line of depth H the operator is A / H^2 (each d/dz is
% d/dsigma / H). nu: a number, or Nc x 1 values along the line (bed first).
%
% op fields: A (Nc x Nc); vectors, values (eigen-decomposition A = vectors
% diag(values) inverse), inverse; lift (Nc x 1, the surface stress lifted
% into a unit-depth line: the stress tau/rho drives A u + lift tau / H);
% liftBed (Nc x 1, likewise for a given bed stress nu du/dz, entering with
% a minus sign).
  column = dg3d_mesh(dg2d_rectangle([0 1], [0 1], 1, 1), mesh.N, mesh.L, mesh.Nz, 1);
  Nc = column.Nc;
  unit = zeros(Nc, column.Np2 * column.K2, Nc);
  for c = 1:Nc
    % Unit vector c on every line of the column.
    unit(c, :, c) = 1;
  end
  nuNodes = nu;
  if ~isscalar(nu)
    nuNodes = dg3d_lines(column, repmat(nu(:), 1, column.Np2 * column.K2), true);
  end
  out = kernels_apply(column, kernels, dg3d_lines(column, unit, true), nuNodes, opt);
  lines = dg3d_lines(column, out);
  op.A = reshape(lines(:, 1, :), Nc, Nc);
  [op.vectors, D] = eig(op.A);
  op.values = diag(D);
  op.inverse = inv(op.vectors);
  op.lift = zeros(Nc, 1);
  op.lift(end - column.Np1 + 1:end) = column.line.invM(:, end) * 2 * column.L;
  op.liftBed = zeros(Nc, 1);
  op.liftBed(1:column.Np1) = column.line.invM(:, 1) * 2 * column.L;
end

function out = kernels_apply(column, kernels, u, nu, opt)
  out = dg3d_vertical_rhs(column, kernels, u, nu, opt);
end
