function vm = dg2d_rectangle(xlim, ylim, nx, ny)
% DG2D_RECTANGLE  Structured triangulation of the rectangle xlim x ylim:
% nx x ny cells, each cut into two counter-clockwise triangles along the
% diagonal from its lower-left to its upper-right corner. ny = 1 gives a strip.
%
% vm fields: VX, VY (1 x Nv vertex coordinates), EToV (3 x K, 1-based vertex
% numbers of each triangle, counter-clockwise); vertex (i, j) is number
% i + (nx + 1) * j, i = 1..nx+1, j = 0..ny.
  xs = xlim(1) + (xlim(2) - xlim(1)) * (0:nx) / nx;
  ys = ylim(1) + (ylim(2) - ylim(1)) * (0:ny) / ny;
  [X, Y] = ndgrid(xs, ys);
  vm.VX = X(:)';
  vm.VY = Y(:)';
  [i, j] = ndgrid(1:nx, 0:ny - 1);
  a = i(:)' + (nx + 1) * j(:)';            % lower-left corner of each cell
  b = a + 1;                               % lower right
  c = a + nx + 2;                          % upper right
  d = a + nx + 1;                          % upper left
  vm.EToV = reshape([a; b; c; a; c; d], 3, []);
end
