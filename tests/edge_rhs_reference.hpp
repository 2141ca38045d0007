// The edge modules' surface term written out plainly for the tests: the inputs
// of one call, and the right-hand side computed field by field, face by face,
// node by node in the modules' order, with a plain matrix-vector product for
// the inverse mass matrix.
#pragma once

#include <random>
#include <vector>

#include "test_support.hpp"

namespace edge_reference {

using kernel_host::ArrayPtr;
using kernel_host::doubleArray;

enum class Jump { NumericalFlux, Alternating, Central };

struct EdgeInputs {
    std::size_t Np = 0, K = 0, Nfp = 0, Nface = 0, Nfield = 1;
    bool twoDimensionalFlux = false;  // flux arrays Nfp x Nface (Nfield = 1)
    std::vector<double> inverseMassMatrix, faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
        faceJacobian, jacobian, fluxLocal, fluxAdjacent, numericalFlux;

    std::vector<std::size_t> fluxDims() const {
        return twoDimensionalFlux ? std::vector<std::size_t>{Nfp, Nface}
                                  : std::vector<std::size_t>{Nfp, Nface, Nfield};
    }
    // The module's inputs: ten with the numerical flux, else nine.
    std::vector<ArrayPtr> arrays(bool withNumericalFlux) const {
        std::vector<ArrayPtr> a;
        a.push_back(doubleArray({Np, Np}, inverseMassMatrix));
        a.push_back(doubleArray({Nfp, Nfp}, faceMassMatrix));
        a.push_back(doubleArray({2, Nface}, faceToElement));
        a.push_back(doubleArray({Nfp, Nface}, faceToNodeLocal));
        a.push_back(doubleArray({Nfp, Nface}, faceToNodeAdjacent));
        a.push_back(doubleArray({Nfp, Nface}, faceJacobian));
        a.push_back(doubleArray({Np, K}, jacobian));
        a.push_back(doubleArray(fluxDims(), fluxLocal));
        a.push_back(doubleArray(fluxDims(), fluxAdjacent));
        if (withNumericalFlux) {
            a.push_back(doubleArray(fluxDims(), numericalFlux));
        }
        return a;
    }
};

inline std::vector<const mxArray*> raw(const std::vector<ArrayPtr>& arrays) {
    std::vector<const mxArray*> r;
    for (const ArrayPtr& a : arrays) {
        r.push_back(a.get());
    }
    return r;
}

// Calls the module with the case's inputs and expects success.
inline kernel_host::CallResult run(const kernel_host::Module& module, const EdgeInputs& c, Jump jump) {
    const std::vector<ArrayPtr> arrays = c.arrays(jump == Jump::NumericalFlux);
    kernel_host::takeConsole();
    kernel_host::CallResult r = module.call(1, raw(arrays));
    EXPECT_TRUE(r.ok) << r.identifier << ": " << r.message;
    return r;
}

inline std::size_t index(double oneBased) {
    return static_cast<std::size_t>(static_cast<long long>(oneBased)) - 1;
}

// The face pass: Np x K x Nfield sums of the face vectors.
inline std::vector<double> surfaceSums(const EdgeInputs& c, Jump jump) {
    const std::size_t page = c.Np * c.K, faceEntries = c.Nfp * c.Nface;
    std::vector<double> s(page * c.Nfield, 0.0);
    std::vector<double> local(c.Nfp), adjacent(c.Nfp);
    for (std::size_t n = 0; n < c.Nfield; ++n) {
        for (std::size_t f = 0; f < c.Nface; ++f) {
            const std::size_t eL = index(c.faceToElement[2 * f]), eA = index(c.faceToElement[2 * f + 1]);
            std::fill(local.begin(), local.end(), 0.0);
            std::fill(adjacent.begin(), adjacent.end(), 0.0);
            for (std::size_t m = 0; m < c.Nfp; ++m) {
                const std::size_t g = c.Nfp * f + m, gn = g + faceEntries * n;
                const double fL = c.fluxLocal[gn], fA = c.fluxAdjacent[gn];
                double dL = 0.0, dA = 0.0;
                switch (jump) {
                    case Jump::NumericalFlux:
                        dL = fL - c.numericalFlux[gn];
                        dA = fA - c.numericalFlux[gn];
                        break;
                    case Jump::Alternating:
                        dL = fL - fA;
                        dA = fA - fL;
                        break;
                    case Jump::Central:
                        dL = 0.5 * (fL - fA);
                        dA = 0.5 * (fA - fL);
                        break;
                }
                const double w = c.faceJacobian[g];
                for (std::size_t r = 0; r < c.Nfp; ++r) {
                    local[r] += (c.faceMassMatrix[r + c.Nfp * m] * w) * dL;
                    adjacent[r] -= (c.faceMassMatrix[r + c.Nfp * m] * w) * dA;
                }
            }
            for (std::size_t r = 0; r < c.Nfp; ++r) {
                const std::size_t g = c.Nfp * f + r;
                s[page * n + c.Np * eL + index(c.faceToNodeLocal[g])] += local[r];
                s[page * n + c.Np * eA + index(c.faceToNodeAdjacent[g])] += adjacent[r];
            }
        }
    }
    return s;
}

// The element pass on the face sums: inverse mass matrix times each column
// (terms in increasing order), over the Jacobian.
inline std::vector<double> elementPass(const EdgeInputs& c, const std::vector<double>& s) {
    std::vector<double> rhs(s.size());
    for (std::size_t n = 0; n < c.Nfield; ++n) {
        for (std::size_t k = 0; k < c.K; ++k) {
            const std::size_t col = c.Np * c.K * n + c.Np * k;
            for (std::size_t r = 0; r < c.Np; ++r) {
                double sum = 0.0;
                for (std::size_t j = 0; j < c.Np; ++j) {
                    sum += c.inverseMassMatrix[r + c.Np * j] * s[col + j];
                }
                rhs[col + r] = sum / c.jacobian[c.Np * k + r];
            }
        }
    }
    return rhs;
}

inline std::vector<double> reference(const EdgeInputs& c, Jump jump) {
    return elementPass(c, surfaceSums(c, jump));
}

inline std::vector<double> identity(std::size_t n) {
    std::vector<double> a(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        a[i + n * i] = 1.0;
    }
    return a;
}

// A random face set: every element a few faces (faces about 1.5 K), node maps
// and element numbers with fractional parts, fluxes, Jacobians and face mass
// matrix of mixed magnitude. inverseMassMatrix is the identity, so that the
// product is exact whatever order the BLAS sums in.
inline EdgeInputs randomCase(std::size_t Np, std::size_t K, std::size_t Nfp, std::size_t Nface,
                             std::size_t Nfield, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0), frac(0.0, 0.999);
    EdgeInputs c;
    c.Np = Np;
    c.K = K;
    c.Nfp = Nfp;
    c.Nface = Nface;
    c.Nfield = Nfield;
    c.inverseMassMatrix = identity(Np);
    for (std::size_t i = 0; i < Nfp * Nfp; ++i) {
        c.faceMassMatrix.push_back(u(rng) * 3.0);
    }
    for (std::size_t f = 0; f < Nface; ++f) {
        c.faceToElement.push_back(static_cast<double>(1 + rng() % K) + frac(rng));
        c.faceToElement.push_back(static_cast<double>(1 + rng() % K) + frac(rng));
        for (std::size_t m = 0; m < Nfp; ++m) {
            c.faceToNodeLocal.push_back(static_cast<double>(1 + rng() % Np) + frac(rng));
            c.faceToNodeAdjacent.push_back(static_cast<double>(1 + rng() % Np) + frac(rng));
            c.faceJacobian.push_back(0.5 + std::abs(u(rng)) * 7.0);
        }
    }
    for (std::size_t i = 0; i < Np * K; ++i) {
        c.jacobian.push_back(u(rng) > 0 ? 0.25 + std::abs(u(rng)) : -1.5 - u(rng));
    }
    for (std::size_t i = 0; i < Nfp * Nface * Nfield; ++i) {
        c.fluxLocal.push_back(u(rng) * 10.0);
        c.fluxAdjacent.push_back(u(rng) * 10.0);
        c.numericalFlux.push_back(u(rng) * 10.0);
    }
    return c;
}

// Three elements of three nodes, the first two joined by one face of two
// nodes, the third untouched; exact data (small dyadic values), so that the
// closed form (invM * s) ./ J holds to the bit whatever the summation order.
struct SmallMesh : EdgeInputs {
    SmallMesh() {
        Np = 3;
        K = 3;
        Nfp = 2;
        Nface = 1;
        inverseMassMatrix = {2, -1, 0, -1, 2, -1, 0, -1, 2};
        faceMassMatrix = {0.5, 0.25, 0.25, 0.5};
        faceToElement = {1, 2};
        faceToNodeLocal = {1, 2};
        faceToNodeAdjacent = {3, 1};
        faceJacobian = {2, 4};
        jacobian = {2, 2, 2, 4, 4, 4, 8, 8, 8};
        fluxLocal = {3, 1};
        fluxAdjacent = {-1, 5};
        numericalFlux = {1, 1};
    }
};

// M * (w .* d) for a two-node face.
std::vector<double> faceVector(const EdgeInputs& c, std::size_t f, double d0, double d1) {
    const double* M = c.faceMassMatrix.data();
    const double w0 = c.faceJacobian[2 * f], w1 = c.faceJacobian[2 * f + 1];
    return {M[0] * w0 * d0 + M[2] * w1 * d1, M[1] * w0 * d0 + M[3] * w1 * d1};
}

// (invM * s) ./ J for one element column of three nodes.
std::vector<double> elementColumn(const EdgeInputs& c, std::size_t k, const std::vector<double>& s) {
    std::vector<double> out(3);
    for (std::size_t r = 0; r < 3; ++r) {
        const double* A = c.inverseMassMatrix.data();
        out[r] = (A[r] * s[0] + A[r + 3] * s[1] + A[r + 6] * s[2]) / c.jacobian[3 * k + r];
    }
    return out;
}

std::vector<double> concat(std::initializer_list<std::vector<double>> parts) {
    std::vector<double> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// Calls the module with the given inputs and expects the error
// "<module>:<reason>" with a message naming the input.
inline void expectFailure(const kernel_host::Module& module, const std::vector<ArrayPtr>& inputs,
                          const std::string& reason, const std::string& named) {
    kernel_host::takeConsole();
    kernel_host::CallResult r = module.call(1, raw(inputs));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.identifier, module.name() + ":" + reason) << r.message;
    EXPECT_NE(r.message.find(named), std::string::npos) << r.message;
}

}  // namespace edge_reference
