// The frame's edge assembly called directly: its own product by the inverse
// mass matrix, at every vector width this processor runs, against the plain
// sums written out in the reference (bit for bit: each entry is one sum in
// increasing order at every width) and against the product it replaces, one
// BLAS dgemm per element column (within that product's rounding).
#include <cmath>
#include <limits>

#include "blas64.hpp"
#include "edge_assembly.hpp"
#include "edge_rhs_reference.hpp"

using namespace edge_reference;

namespace {

struct NumericalFluxJump {
    static constexpr bool readsNumericalFlux = true;
    static constexpr bool adjacentMirrorsLocal = false;
    template <class T>
    static void jumps(const T& fL, const T& fA, const T& fN, T& local, T& adjacent) {
        local = fL - fN;
        adjacent = fA - fN;
    }
};

kernels::EdgeFaceSet faceSet(const EdgeInputs& c) {
    return kernels::EdgeFaceSet{static_cast<std::ptrdiff_t>(c.Np), static_cast<std::ptrdiff_t>(c.K),
                                static_cast<std::ptrdiff_t>(c.Nfp), static_cast<std::ptrdiff_t>(c.Nface),
                                static_cast<std::ptrdiff_t>(c.Nfield), c.inverseMassMatrix.data(),
                                c.faceMassMatrix.data(), c.faceToElement.data(), c.faceToNodeLocal.data(),
                                c.faceToNodeAdjacent.data(), c.faceJacobian.data(), c.jacobian.data(),
                                c.fluxLocal.data(), c.fluxAdjacent.data(), c.numericalFlux.data()};
}

std::vector<double> assemble(const EdgeInputs& c, kernels::EdgeVectors width) {
    const kernels::EdgeFaceSet set = faceSet(c);
    std::vector<double> rhs(c.Np * c.K * c.Nfield, 0.0);
    std::vector<char> scratch(kernels::edgeScratchBytes(set));
    kernels::assembleEdgeRhs<NumericalFluxJump>(set, rhs.data(), kernels::carveEdgeScratch(set, scratch.data()),
                                                width);
    return rhs;
}

// The element pass as the modules had it: one dgemm per element column.
std::vector<double> dgemmElementPass(const EdgeInputs& c, std::vector<double> s) {
    const kernels::BlasInt Np = static_cast<kernels::BlasInt>(c.Np), one = 1;
    const double alpha = 1.0, beta = 0.0;
    std::vector<double> product(c.Np);
    for (std::size_t col = 0; col < c.K * c.Nfield; ++col) {
        double* column = s.data() + c.Np * col;
        dgemm_("N", "N", &Np, &one, &Np, &alpha, c.inverseMassMatrix.data(), &Np, column, &Np, &beta,
               product.data(), &Np);
        for (std::size_t r = 0; r < c.Np; ++r) {
            column[r] = product[r] / c.jacobian[(c.Np * col + r) % (c.Np * c.K)];
        }
    }
    return s;
}

TEST(EdgeAssembly, ProductMatchesPlainSumsAndOneColumnDgemmAtEveryWidth) {
    // Lines, triangles and prisms; five fields, so that fields go in a group of
    // four and a group of one; K not a multiple of the columns per product;
    // some elements no face touches (zero columns); once an infinite entry in
    // the inverse mass matrix, which times a zero node gives NaN. Np 10, 84,
    // and (outside sanitizer builds) the linear prisms' 6 and 9 take the
    // fixed-size loops; K of 301 and 1501 with random faces outnumber the
    // slots (except Np 10 at K 301), so elements move to rhs.
    const std::size_t cases[][4] = {{3, 2, 0, 301},  {10, 4, 0, 301}, {35, 10, 0, 301}, {84, 28, 0, 301},
                                    {13, 9, 0, 301}, {10, 4, 1, 301}, {10, 4, 0, 1501}, {6, 3, 0, 301},
                                    {6, 4, 1, 301},  {9, 3, 0, 1501}, {9, 6, 0, 301}};
    for (auto [Np, Nfp, infinite, K] : cases) {
        EdgeInputs c = randomCase(Np, K, Nfp, K * 3 / 2, 5, static_cast<unsigned>(Np + K));
        std::mt19937_64 rng(Np);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (double& v : c.inverseMassMatrix) {
            v += 0.5 * u(rng);
        }
        c.inverseMassMatrix[Np + 1] = infinite ? std::numeric_limits<double>::infinity() : 1.0;
        const std::vector<double> s = surfaceSums(c, Jump::NumericalFlux);
        const std::vector<double> plain = elementPass(c, s);
        const std::vector<double> dgemm = dgemmElementPass(c, s);
        for (kernels::EdgeVectors width :
             {kernels::EdgeVectors::Baseline, kernels::EdgeVectors::Avx2, kernels::EdgeVectors::Avx512}) {
            if (!kernels::runsEdgeVectors(width)) {
                continue;
            }
            const std::vector<double> rhs = assemble(c, width);
            for (std::size_t i = 0; i < rhs.size(); ++i) {
                ASSERT_TRUE(test_support::sameDouble(rhs[i], plain[i]))
                    << "Np " << Np << ", " << static_cast<int>(width) << " lanes, entry " << i;
                const std::size_t col = i / Np * Np, row = i % Np;
                double magnitude = 0.0;
                for (std::size_t j = 0; j < Np; ++j) {
                    magnitude += std::abs(c.inverseMassMatrix[row + Np * j] * s[col + j]);
                }
                const double bound = 2.0 * Np * 1.12e-16 * magnitude / std::abs(c.jacobian[i % (Np * c.K)]);
                if (!infinite) {
                    ASSERT_NEAR(rhs[i], dgemm[i], bound) << "Np " << Np << " entry " << i;
                }
            }
        }
    }
}

}  // namespace
