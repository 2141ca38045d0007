function [rhs, s] = edge_rhs_reference(jump, invM, M, faceToElement, nodeL, nodeA, faceJ, J, fL, fA, fN)
% EDGE_RHS_REFERENCE  The edge modules' surface term written out plainly:
% fields, then faces, then face nodes, in the modules' order; jump is
% 'numerical', 'alternating' or 'central' (fN is not read by the last two).
% s holds the face sums before the inverse mass matrix and the Jacobian.
  [Np, K] = size(J);
  [Nfp, Nface, Nfield] = size(fL);
  s = zeros(Np, K, Nfield);
  for n = 1:Nfield
    for f = 1:Nface
      eL = fix(faceToElement(1, f));
      eA = fix(faceToElement(2, f));
      cL = zeros(Nfp, 1);
      cA = zeros(Nfp, 1);
      for m = 1:Nfp
        a = fL(m, f, n);
        b = fA(m, f, n);
        switch jump
          case 'numerical'
            dL = a - fN(m, f, n);
            dA = b - fN(m, f, n);
          case 'alternating'
            dL = a - b;
            dA = b - a;
          case 'central'
            dL = 0.5 * (a - b);
            dA = 0.5 * (b - a);
        end
        for r = 1:Nfp
          cL(r) = cL(r) + (M(r, m) * faceJ(m, f)) * dL;
          cA(r) = cA(r) - (M(r, m) * faceJ(m, f)) * dA;
        end
      end
      for r = 1:Nfp
        i = fix(nodeL(r, f));
        s(i, eL, n) = s(i, eL, n) + cL(r);
        i = fix(nodeA(r, f));
        s(i, eA, n) = s(i, eA, n) + cA(r);
      end
    end
  end
  rhs = zeros(Np, K, Nfield);
  for n = 1:Nfield
    rhs(:, :, n) = (invM(1:Np, 1:Np) * s(:, :, n)) ./ J;
  end
end
