function map_depth(grid, h, level)
% MAP_DEPTH  Draw into the current axes the depth h (Np x K) over the mesh of
% grid (output_grid_triangles) as filled triangles of each element's nodal
% lattice, each coloured by the mean of its three nodes (gnuplot draws no
% colours interpolated inside a triangle), dry ground (mean h <= level)
% left white, and the shoreline, where the depth crosses level, as a
% black line.
  h = h(:);
  wet = mean(h(grid.subcells), 1) > level;
  patch('Faces', grid.subcells(:, wet)', 'Vertices', [grid.nodeX, grid.nodeY], ...
        'FaceVertexCData', mean(h(grid.subcells(:, wet)), 1)', 'FaceColor', 'flat', 'EdgeColor', 'none');
  [sx, sy] = shoreline(grid, h, level);
  line(sx, sy, 'color', 'k', 'linewidth', 1.5);
  axis equal;
  axis([min(grid.nodeX), max(grid.nodeX), min(grid.nodeY), max(grid.nodeY)]);
  box on;
end

function [sx, sy] = shoreline(grid, h, level)
  % Each triangle the level crosses holds one straight piece of the line,
  % between the points where two of its edges cross it (linear along the
  % edge); the pieces are separated by NaN for one call of line.
  nodes = grid.subcells;
  d = h(nodes) - level;
  above = d > 0;
  cut = any(above, 1) & ~all(above, 1);
  nodes = nodes(:, cut);
  d = d(:, cut);
  above = above(:, cut);
  edgeFrom = [1 2 3];
  edgeTo = [2 3 1];
  px = nan(3, size(nodes, 2));
  py = px;
  for e = 1:3
    % The crossing point of edge e, where its two ends lie on either side.
    a = edgeFrom(e);
    b = edgeTo(e);
    crosses = above(a, :) ~= above(b, :);
    s = d(a, crosses) ./ (d(a, crosses) - d(b, crosses));
    xa = grid.nodeX(nodes(a, crosses))';
    ya = grid.nodeY(nodes(a, crosses))';
    px(e, crosses) = xa + s .* (grid.nodeX(nodes(b, crosses))' - xa);
    py(e, crosses) = ya + s .* (grid.nodeY(nodes(b, crosses))' - ya);
  end
  % Two of the three edges cross: their points, then a NaN.
  [~, order] = sort(isnan(px), 1);
  columns = repmat(1:size(px, 2), 3, 1);
  index = sub2ind(size(px), order, columns);
  sx = [px(index(1:2, :)); nan(1, size(px, 2))];
  sy = [py(index(1:2, :)); nan(1, size(px, 2))];
  sx = sx(:);
  sy = sy(:);
end
