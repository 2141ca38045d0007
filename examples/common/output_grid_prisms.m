function grid = output_grid_prisms(prism)
% OUTPUT_GRID_PRISMS  What the writers need of a layered 3d mesh: the prisms
% over each triangle of a 2d nodal mesh, stacked in layers that follow the
% surface and the bed (sigma layers).
%
% prism fields:
%   x, y   Np2 x K2 node coordinates of the 2d mesh (order N, nodes on the
%          equidistant lattice as in dg2d_reference)
%   N      its order
%   sigma  Nz x L: sigma (0 at the surface, -1 at the bed) of the vertical
%          nodes of each layer, bottom to top; the same in every column.
%          A node of layer l at sigma s lies at z = eta + s (eta - zb).
% The fields of the layers are Np2 x Nz x L x K2 values (any array with
% that many in that order): the 2d node fastest, then the vertical node of
% the layer, then the layer, then the column. The 2d fields (h, eta, the bed)
% are Np2 x K2.
%
% grid: the fields of output_grid_triangles(x, y, N) with topology 3, and
% Nz, L, sigma; weights3 (Np2*Nz x 1, each node's share of the mean of a
% prism); vtkType 13 (wedge) or 73 (Lagrange wedge) of order
% M = max(N, Nz - 1); vtkOrder: where the layers have Nz = N + 1 equidistant
% nodes, the prism's nodes in VTK's order; otherwise the order-M lattice's
% points in VTK's order and vtkInterp (VTK's points x Np2*Nz: the prism's
% node values to the values at VTK's equidistant points, e.g. for
% Gauss-Lobatto nodes or for Nz > N + 1).
  grid = output_grid_triangles(prism.x, prism.y, prism.N);
  [Nz, L] = size(prism.sigma);
  N = prism.N;
  grid.topology = 3;
  grid.Nz = Nz;
  grid.L = L;
  grid.sigma = prism.sigma;
  % Vertical weights on the layer's nodes mapped to [0, 1].
  t = (prism.sigma(:, 1) - prism.sigma(1, 1)) / (prism.sigma(end, 1) - prism.sigma(1, 1));
  weightsZ = (t .^ (0:Nz - 1))' \ (1 ./ (1:Nz)');
  grid.weights3 = kron(weightsZ, grid.weights);
  % VTK's wedges: a Lagrange wedge of order M = max(N, Nz - 1) in both
  % directions. Where the layer's nodes are N + 1 equidistant ones they are
  % VTK's points; otherwise (Gauss-Lobatto nodes, more vertical than
  % triangle nodes) the values are interpolated to VTK's equidistant points
  % (exactly, the prism's polynomials being among the wedge's).
  equidistant = all(abs(diff(prism.sigma, 2, 1)) <= 1e-12 * max(abs(prism.sigma(:))) + 1e-15);
  M = max(N, Nz - 1);
  if M == N && Nz == N + 1 && all(equidistant)
    grid.vtkOrder = wedge_order(grid.vtkOrder, grid.Np, N);
  else
    lattice = output_grid_triangles(zeros((M + 1) * (M + 2) / 2, 1), zeros((M + 1) * (M + 2) / 2, 1), M);
    [a, b] = lattice_points(M);
    [a2, b2] = lattice_points(N);
    powers = @(a, b, n) cell2mat(arrayfun(@(j) a .^ (0:n - j) .* b .^ j, 0:n, 'UniformOutput', false));
    T = powers(a, b, N) / powers(a2, b2, N);
    Z = ((0:M)' / M) .^ (0:Nz - 1) / (t .^ (0:Nz - 1));
    P = kron(Z, T);
    grid.vtkOrder = wedge_order(lattice.vtkOrder, numel(a), M);
    grid.vtkInterp = P(grid.vtkOrder, :);
  end
  if M == 1
    grid.vtkType = 13;
  else
    grid.vtkType = 73;
  end
end

function [a, b] = lattice_points(n)
  % The equidistant lattice of order n on the unit triangle, row by row.
  b = cell2mat(arrayfun(@(j) j * ones(n - j + 1, 1), (0:n)', 'UniformOutput', false)) / n;
  a = cell2mat(arrayfun(@(j) (0:n - j)', (0:n)', 'UniformOutput', false)) / n;
end

function order = wedge_order(tri, Np, N)
  % VTK's points of a Lagrange wedge of order N whose triangle lattice has
  % Np points in VTK's triangle order tri, on N + 1 levels numbered
  % triangle point fastest.
  Nz = N + 1;
  % The triangle's points in VTK's order: 3 vertices, the edges' inner
  % points, then the inner points.
  vertices = tri(1:3);
  edges = tri(4:3 + 3 * (N - 1));
  inner = tri(4 + 3 * (N - 1):end);
  at = @(nodes, levels) reshape(nodes(:) + Np * (levels(:)' - 1), [], 1);
  middle = 2:Nz - 1;
  % Quadrilateral sides: edge e's inner points fastest, then the inner levels.
  sides = [];
  for e = 1:3
    sides = [sides; at(edges((e - 1) * (N - 1) + (1:N - 1)), middle)];
  end
  % Vertical edges: the inner levels of vertex 1, then of vertex 2 and 3.
  upright = reshape(at(vertices, middle), 3, [])';
  order = [at(vertices, 1); at(vertices, Nz); at(edges, 1); at(edges, Nz); upright(:); ...
           at(inner, 1); at(inner, Nz); sides; at(inner, middle)];
end
