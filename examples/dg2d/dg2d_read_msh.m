function vm = dg2d_read_msh(file)
% DG2D_READ_MSH  The triangles of a Gmsh mesh file in the MSH 4.1 ASCII
% format, as a vertex mesh (the struct of dg2d_rectangle): nodes renumbered
% 1..Nv in the order of the file, every 3-node triangle (element type 2)
% turned counter-clockwise. Lines, points and the z coordinate are dropped.
  text = fileread(file);
  format = section(text, 'MeshFormat', file);
  if format(1) < 4.1 || format(1) >= 5 || format(2) ~= 0
    error('dg2d_read_msh:format', '%s: MSH format %g (file type %g); need 4.1 ASCII.', ...
          file, format(1), format(2));
  end

  % $Nodes: blocks of (dim, tag, parametric, count), count tags, count x y z.
  v = section(text, 'Nodes', file);
  total = v(2);
  tags = zeros(1, total);
  xyz = zeros(3, total);
  at = 5;
  filled = 0;
  for block = 1:v(1)
    count = v(at + 3);
    if v(at + 2) ~= 0
      error('dg2d_read_msh:parametric', '%s: parametric node blocks are not read.', file);
    end
    at = at + 4;
    tags(filled + (1:count)) = v(at:at + count - 1);
    at = at + count;
    xyz(:, filled + (1:count)) = reshape(v(at:at + 3 * count - 1), 3, count);
    at = at + 3 * count;
    filled = filled + count;
  end
  number = zeros(1, max(tags));
  number(tags) = 1:total;

  % $Elements: blocks of (dim, tag, type, count), then count rows of
  % element tag and node tags; a triangle has 3 nodes.
  e = section(text, 'Elements', file);
  nodesOf = [2 3 4 4 8 6 5 3 6 9 10 27 18 14 1];   % node counts of types 1..15
  EToV = zeros(3, 0);
  at = 5;
  for block = 1:e(1)
    type = e(at + 2);
    count = e(at + 3);
    at = at + 4;
    if type < 1 || type > numel(nodesOf)
      error('dg2d_read_msh:elementType', '%s: element type %d is not read.', file, type);
    end
    width = nodesOf(type) + 1;
    rows = reshape(e(at:at + width * count - 1), width, count);
    at = at + width * count;
    if type == 2
      EToV = [EToV, number(rows(2:4, :))];
    end
  end
  vm.VX = xyz(1, :);
  vm.VY = xyz(2, :);
  area = (vm.VX(EToV(2, :)) - vm.VX(EToV(1, :))) .* (vm.VY(EToV(3, :)) - vm.VY(EToV(1, :))) ...
       - (vm.VX(EToV(3, :)) - vm.VX(EToV(1, :))) .* (vm.VY(EToV(2, :)) - vm.VY(EToV(1, :)));
  EToV([2 3], area < 0) = EToV([3 2], area < 0);
  vm.EToV = EToV;
end

function values = section(text, name, file)
  body = regexp(text, ['\$' name '\s*\n(.*?)\$End' name], 'tokens', 'once');
  if isempty(body)
    error('dg2d_read_msh:section', '%s: no $%s section.', file, name);
  end
  values = sscanf(body{1}, '%f');
end
