function set = kernel_edge_face_set(module, args, readsNumericalFlux)
% KERNEL_EDGE_FACE_SET  Checks and reads the inputs of an edge module in the
% order its gateway checks them: inputs 0 to 8 (inverseMassMatrix,
% faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
% faceJacobian, jacobian, fluxLocal, fluxAdjacent) and, when the module reads
% it, input 9 (numericalFlux), all full real double arrays. Np and K come from
% jacobian (rows, columns), Nfp, Nface and Nfield from the first three extents
% of fluxLocal; every other input must hold what those extents read, and every
% index must name an element (1..K) or a node (1..Np).
%
% set holds the extents and the inputs shaped as read: inverseMassMatrix
% Np x Np, faceMassMatrix Nfp x Nfp, faceToElement 2 x Nface and the node maps
% Nfp x Nface (truncated toward zero), faceJacobian Nfp x Nface, jacobian
% Np x K, the fluxes Nfp x Nface x Nfield (numericalFlux [] when not read).
  names = {'inverseMassMatrix', 'faceMassMatrix', 'faceToElement', 'faceToNodeLocal', ...
           'faceToNodeAdjacent', 'faceJacobian', 'jacobian', 'fluxLocal', 'fluxAdjacent', ...
           'numericalFlux'};
  inputs = 9 + (readsNumericalFlux ~= 0);
  for i = 1:inputs
    kernel_require_double_array(module, args{i}, i - 1, names{i});
  end
  Np = size(args{7}, 1);
  K = kernel_columns(args{7});
  Nfp = size(args{8}, 1);
  Nface = size(args{8}, 2);
  Nfield = size(args{8}, 3);
  faceEntries = Nfp * Nface;
  fluxEntries = faceEntries * Nfield;
  kernel_require_elements(module, args{1}, 0, names{1}, Np * Np, 'Np*Np');
  kernel_require_elements(module, args{2}, 1, names{2}, Nfp * Nfp, 'Nfp*Nfp');
  faceElements = kernel_count_product(module, 7, names{8}, 2, Nface, '2*Nface');
  kernel_require_elements(module, args{3}, 2, names{3}, faceElements, '2*Nface');
  for i = 4:6
    kernel_require_elements(module, args{i}, i - 1, names{i}, faceEntries, 'Nfp*Nface');
  end
  for i = 8:inputs
    kernel_require_elements(module, args{i}, i - 1, names{i}, fluxEntries, 'Nfp*Nface*Nfield');
  end
  kernel_require_indices(module, args{3}, 2, names{3}, 2 * Nface, 1, 0, K, 'K');
  kernel_require_indices(module, args{4}, 3, names{4}, faceEntries, 1, 0, Np, 'Np');
  kernel_require_indices(module, args{5}, 4, names{5}, faceEntries, 1, 0, Np, 'Np');

  set = struct('Np', Np, 'K', K, 'Nfp', Nfp, 'Nface', Nface, 'Nfield', Nfield);
  set.inverseMassMatrix = kernel_leading(args{1}, [Np, Np]);
  set.faceMassMatrix = kernel_leading(args{2}, [Nfp, Nfp]);
  set.faceToElement = fix(kernel_leading(args{3}, [2, Nface]));
  set.faceToNodeLocal = fix(kernel_leading(args{4}, [Nfp, Nface]));
  set.faceToNodeAdjacent = fix(kernel_leading(args{5}, [Nfp, Nface]));
  set.faceJacobian = kernel_leading(args{6}, [Nfp, Nface]);
  set.jacobian = reshape(args{7}, Np, K);
  set.fluxLocal = kernel_leading(args{8}, [Nfp, Nface, Nfield]);
  set.fluxAdjacent = kernel_leading(args{9}, [Nfp, Nface, Nfield]);
  set.numericalFlux = [];
  if readsNumericalFlux
    set.numericalFlux = kernel_leading(args{10}, [Nfp, Nface, Nfield]);
  end
end
