function grid = output_grid_lines(x, r, weights)
% OUTPUT_GRID_LINES  What the writers need of a 1d nodal mesh: x (Np x K
% node coordinates, nodes in increasing r within each element), r (Np x 1,
% the reference nodes on [-1, 1]) and weights (Np x 1, each node's share of
% the element mean). Every element keeps its own copies of its nodes.
%
% grid fields: topology (1), N, Np, K; nodeX, nodeY (Np*K x 1, y = 0);
% subcells (2 x K*N, the edges between neighbouring nodes of an element);
% elements (2 x K, end nodes); weights; vtkType (3, a line, for N = 1; 68,
% a Lagrange curve, for N >= 2) and either vtkOrder (Np x 1: VTK's points
% are the end nodes, then the inner nodes) or, where the nodes are not
% equidistant, vtkInterp (Np x Np: values at the element's nodes to values
% at VTK's equidistant points, in VTK's order).
  [Np, K] = size(x);
  N = Np - 1;
  first = Np * (0:K - 1);
  grid.topology = 1;
  grid.N = N;
  grid.Np = Np;
  grid.K = K;
  grid.nodeX = x(:);
  grid.nodeY = zeros(Np * K, 1);
  local = [1:N; 2:N + 1];
  grid.subcells = reshape(local(:) + first, 2, []);
  grid.elements = [1; Np] + first;
  grid.weights = weights(:);
  if N == 1
    grid.vtkType = 3;
  else
    grid.vtkType = 68;
  end
  grid.vtkOrder = [1; Np; (2:N)'];
  equidistant = linspace(-1, 1, Np)';
  if max(abs(r(:) - equidistant)) > 1e-14
    % Lagrange basis of the nodes r at VTK's points.
    points = equidistant(grid.vtkOrder);
    grid.vtkInterp = (points .^ (0:N)) / (r(:) .^ (0:N));
  end
end
