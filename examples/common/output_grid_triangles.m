function grid = output_grid_triangles(x, y, N)
% OUTPUT_GRID_TRIANGLES  What the writers need of a nodal triangle mesh of
% order N whose Np = (N+1)(N+2)/2 nodes per element sit on the equidistant
% lattice, numbered row by row (s outer, r inner) as in dg2d_reference.
%
% x, y: Np x K node coordinates (dg2d_mesh). Every element keeps its own
% copies of its nodes: node (i, k) of the state is node (k-1)*Np + i of the
% files.
%
% grid fields: topology (2), N, Np, K; nodeX, nodeY (Np*K x 1); subcells
% (3 x K*N^2, counter-clockwise node numbers of the triangles of each
% element's lattice, element by element); elements (3 x K, the vertex nodes
% of each element); weights (Np x 1, each node's share of the element mean);
% vtkType (5 for N = 1, 69 for N >= 2) and vtkOrder (Np x 1, the element's
% nodes in the order of VTK's cell points; the equidistant lattice is VTK's
% own, so no interpolation).
  [Np, K] = size(x);
  if Np ~= (N + 1) * (N + 2) / 2 || ~isequal(size(y), [Np, K])
    error('output_grid_triangles:size', 'x and y must be %d x K for order %d (x is %d x %d).', ...
          (N + 1) * (N + 2) / 2, N, Np, K);
  end
  % Lattice numbers of the node at column a, row b.
  index = zeros(N + 1);
  index(sub2ind([N + 1, N + 1], lattice_a(N) + 1, lattice_b(N) + 1)) = 1:Np;
  node = @(a, b) index(sub2ind([N + 1, N + 1], a + 1, b + 1));
  % Triangles of the lattice: pointing up at every (a, b) with a + b < N,
  % pointing down where a + b < N - 1.
  local = zeros(3, 0);
  for b = 0:N - 1
    a = (0:N - 1 - b)';
    local = [local, [node(a, b + 0 * a), node(a + 1, b + 0 * a), node(a, b + 1 + 0 * a)]'];
    a = (0:N - 2 - b)';
    local = [local, [node(a + 1, b + 0 * a), node(a + 1, b + 1 + 0 * a), node(a, b + 1 + 0 * a)]'];
  end
  first = Np * (0:K - 1);
  grid.topology = 2;
  grid.N = N;
  grid.Np = Np;
  grid.K = K;
  grid.nodeX = x(:);
  grid.nodeY = y(:);
  grid.subcells = reshape(local(:) + first, 3, []);
  grid.elements = [node(0, 0); node(N, 0); node(0, N)] + first;
  grid.weights = triangle_weights(N);
  if N == 1
    grid.vtkType = 5;
  else
    grid.vtkType = 69;
  end
  grid.vtkOrder = vtk_triangle_order(node, 0, N);
end

function a = lattice_a(N)
  a = cell2mat(arrayfun(@(b) (0:N - b)', (0:N)', 'UniformOutput', false));
end

function b = lattice_b(N)
  b = cell2mat(arrayfun(@(b) b * ones(N - b + 1, 1), (0:N)', 'UniformOutput', false));
end

function order = vtk_triangle_order(node, offset, n)
  % VTK's points of a Lagrange triangle of order n whose corner sits at
  % lattice point (offset, offset): the three vertices, the inner points of
  % each edge in the counter-clockwise direction, then the inner triangle of
  % order n - 3 the same way.
  if n == 0
    order = node(offset, offset);
    return;
  end
  t = (1:n - 1)';
  o = offset;
  order = [node(o, o); node(o + n, o); node(o, o + n); node(o + t, o + 0 * t); ...
           node(o + n - t, o + t); node(o + 0 * t, o + n - t)];
  if n >= 3
    order = [order; vtk_triangle_order(node, offset + 1, n - 3)];
  end
end

function w = triangle_weights(N)
  % Integral of each nodal basis function over the reference triangle,
  % divided by its area: the monomials' integrals through the Vandermonde.
  % The integral of r^a s^b over the triangle (0,0), (1,0), (0,1) is
  % a! b! / (a + b + 2)!; nodes here are at (a, b) / N.
  a = lattice_a(N) / N;
  b = lattice_b(N) / N;
  V = [];
  moments = [];
  for j = 0:N
    for i = 0:N - j
      V = [V, a .^ i .* b .^ j];
      moments = [moments; factorial(i) * factorial(j) / factorial(i + j + 2)];
    end
  end
  w = (V' \ moments) * 2;
end
