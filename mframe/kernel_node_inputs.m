function values = kernel_node_inputs(module, args, first, names, Nfp, Nface)
% KERNEL_NODE_INPUTS  Checks and reads per-node inputs args{first + a}
% (a = 0, 1, ...; positions counted from 0 as in the messages), named by
% names: full, real double arrays of at least Nfp*Nface entries each, whose
% first Nfp*Nface are read as Nfp x Nface. Returns them in a cell array.
  values = cell(1, numel(names));
  for a = 1:numel(names)
    position = first + a - 1;
    x = args{position + 1};
    kernel_require_doubles(module, x, position, names{a}, Nfp * Nface, 'Nfp*Nface');
    values{a} = kernel_leading(x, [Nfp, Nface]);
  end
end
