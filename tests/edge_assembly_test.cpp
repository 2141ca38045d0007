// The frame's edge assembly called directly: the mass-matrix product in one
// dgemm per element column (one column each) against blocks of columns and
// whole field pages. The sums are the same; only the BLAS's rounding may differ.
#include <cmath>

#include "edge_assembly.hpp"
#include "edge_rhs_reference.hpp"

using namespace edge_reference;

namespace {

struct NumericalFluxJump {
    static constexpr bool readsNumericalFlux = true;
    static constexpr bool adjacentMirrorsLocal = false;
    static double local(double fL, double, double fN) { return fL - fN; }
    static double adjacent(double, double fA, double fN) { return fA - fN; }
};

kernels::EdgeFaceSet faceSet(const EdgeInputs& c) {
    return kernels::EdgeFaceSet{static_cast<std::ptrdiff_t>(c.Np), static_cast<std::ptrdiff_t>(c.K),
                                static_cast<std::ptrdiff_t>(c.Nfp), static_cast<std::ptrdiff_t>(c.Nface),
                                static_cast<std::ptrdiff_t>(c.Nfield), c.inverseMassMatrix.data(),
                                c.faceMassMatrix.data(), c.faceToElement.data(), c.faceToNodeLocal.data(),
                                c.faceToNodeAdjacent.data(), c.faceJacobian.data(), c.jacobian.data(),
                                c.fluxLocal.data(), c.fluxAdjacent.data(), c.numericalFlux.data()};
}

std::vector<double> assemble(const EdgeInputs& c, std::ptrdiff_t columnsPerProduct) {
    const kernels::EdgeFaceSet set = faceSet(c);
    std::vector<double> rhs(c.Np * c.K * c.Nfield, 0.0);
    std::vector<double> product(c.Np * static_cast<std::size_t>(columnsPerProduct));
    std::vector<double> face(kernels::faceScratchBytes(set.Nfp) / sizeof(double));
    kernels::assembleEdgeRhs<NumericalFluxJump>(set, rhs.data(),
                                                kernels::EdgeScratch{columnsPerProduct, product.data(), face.data()});
    return rhs;
}

TEST(EdgeAssembly, ProductFormsAgreeWithinRounding) {
    for (auto [Np, Nfp] : {std::pair<std::size_t, std::size_t>{3, 2}, {10, 4}, {35, 10}, {84, 28}}) {
        EdgeInputs c = randomCase(Np, 301, Nfp, 450, 2, static_cast<unsigned>(Np));
        std::mt19937_64 rng(Np);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (double& v : c.inverseMassMatrix) {
            v += 0.5 * u(rng);
        }
        const std::vector<double> s = surfaceSums(c, Jump::NumericalFlux);
        const std::vector<double> perElement = assemble(c, 1);
        for (std::ptrdiff_t columns : {std::ptrdiff_t{7}, kernels::productColumns(static_cast<std::ptrdiff_t>(Np)),
                                       static_cast<std::ptrdiff_t>(c.K)}) {
            const std::vector<double> blocked = assemble(c, columns);
            std::size_t bitDifferences = 0;
            for (std::size_t i = 0; i < blocked.size(); ++i) {
                const std::size_t col = i / Np * Np, row = i % Np;
                double magnitude = 0.0;
                for (std::size_t j = 0; j < Np; ++j) {
                    magnitude += std::abs(c.inverseMassMatrix[row + Np * j] * s[col + j]);
                }
                const double bound = 2.0 * Np * 1.12e-16 * magnitude / std::abs(c.jacobian[i % (Np * c.K)]);
                EXPECT_NEAR(blocked[i], perElement[i], bound) << "Np " << Np << " columns " << columns << " at " << i;
                bitDifferences += test_support::bits(blocked[i]) != test_support::bits(perElement[i]);
            }
            // How this BLAS compares bit for bit, for the record.
            std::printf("Np %zu, %td columns per product: %zu of %zu entries differ in their bits from one column\n",
                        Np, columns, bitDifferences, blocked.size());
        }
    }
}

}  // namespace
