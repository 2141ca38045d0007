function rhs = kernel_edge_rhs(set, dL, dA)
% KERNEL_EDGE_RHS  The strong-form surface term of the edge modules, from a
% face set (kernel_edge_face_set) and the jumps dL, dA of the local and the
% adjacent side (Nfp x Nface x Nfield):
%   1. face vectors: cL(r) = sum over m of (faceMassMatrix(r, m)*faceJacobian(m))*dL(m)
%      and cA(r) = -sum of the same products with dA, accumulated from 0 over m
%      in increasing order, every face and field at once;
%   2. scatter: cL into the local element's nodes, cA into the adjacent
%      element's, accumulated face by face, node r of the local side before
%      node r of the adjacent side (accumarray, in that order);
%   3. every element column times inverseMassMatrix, divided by jacobian.
% Steps 1 and 2 take the compiled modules' operations in their order; the
% product of step 3 is the host's own, so rhs agrees with the modules within
% the rounding of that product.
  Np = set.Np;
  K = set.K;
  Nfp = set.Nfp;
  Nface = set.Nface;
  Nfield = set.Nfield;
  rhs = zeros(Np, K, Nfield);
  if Np * K == 0
    return;
  end
  % Face vectors of every face and field, one face node m at a time.
  cL = zeros(Nfp, Nface, Nfield);
  cA = zeros(Nfp, Nface, Nfield);
  for m = 1:Nfp
    weighted = set.faceMassMatrix(:, m) .* set.faceJacobian(m, :);
    cL = cL + weighted .* dL(m, :, :);
    cA = cA - weighted .* dA(m, :, :);
  end
  % Element nodes of both sides, interleaved (local, adjacent) node by node
  % and face by face, in every field's page.
  nodeL = Np * (set.faceToElement(1, :) - 1) + set.faceToNodeLocal;
  nodeA = Np * (set.faceToElement(2, :) - 1) + set.faceToNodeAdjacent;
  pages = reshape(Np * K * (0:Nfield - 1), 1, 1, 1, Nfield);
  target = [reshape(nodeL, 1, Nfp, Nface); reshape(nodeA, 1, Nfp, Nface)] + pages;
  values = [reshape(cL, 1, Nfp, Nface, Nfield); reshape(cA, 1, Nfp, Nface, Nfield)];
  gathered = accumarray(target(:), values(:), [Np * K * Nfield, 1]);
  % Inverse mass matrix, then the element Jacobian.
  rhs = reshape(set.inverseMassMatrix * reshape(gathered, Np, K * Nfield), Np, K, Nfield) ./ set.jacobian;
end
