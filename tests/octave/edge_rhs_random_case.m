function c = edge_rhs_random_case(Np, K, Nfp, Nface, Nfield, seed)
% EDGE_RHS_RANDOM_CASE  Inputs of an edge module on a random face set, with
% fractional index values; inverseMassMatrix is the identity, so that the
% product is exact whatever order a BLAS sums in.
  rand('seed', seed);
  c.invM = eye(Np);
  c.M = 6 * rand(Nfp) - 3;
  c.faceToElement = floor(K * rand(2, Nface)) + 1 + 0.999 * rand(2, Nface);
  c.nodeL = floor(Np * rand(Nfp, Nface)) + 1 + 0.5 * rand(Nfp, Nface);
  c.nodeA = floor(Np * rand(Nfp, Nface)) + 1 + 0.5 * rand(Nfp, Nface);
  c.faceJ = 0.5 + 7 * rand(Nfp, Nface);
  c.J = 0.25 + rand(Np, K);
  c.J(:, 2:2:end) = -c.J(:, 2:2:end);
  c.fL = 20 * rand(Nfp, Nface, Nfield) - 10;
  c.fA = 20 * rand(Nfp, Nface, Nfield) - 10;
  c.fN = 20 * rand(Nfp, Nface, Nfield) - 10;
end
