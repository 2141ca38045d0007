// inner_edge_strong_rhs through the stand-alone host.
#include <cmath>
#include <limits>

#include "edge_rhs_reference.hpp"

using namespace test_support;
using namespace edge_reference;

namespace {

const Module& module() {
    static Module m = Module::byName("inner_edge_strong_rhs");
    return m;
}

TEST(InnerEdgeStrongRhs, RandomFacesMatchTheReferenceBitForBit) {
    // Face sizes with code of their own (3, 28) and without (9).
    for (auto [Np, Nfp] : {std::pair<std::size_t, std::size_t>{12, 9}, {84, 28}}) {
        const EdgeInputs c = randomCase(Np, 20, Nfp, 30, 2, static_cast<unsigned>(Nfp));
        expectValues(run(module(), c, Jump::NumericalFlux).outputs[0].get(), reference(c, Jump::NumericalFlux));
    }
    const EdgeInputs c = randomCase(6, 40, 3, 60, 3, 11);
    CallResult r = run(module(), c, Jump::NumericalFlux);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{6, 40, 3}));
    expectValues(r.outputs[0].get(), reference(c, Jump::NumericalFlux));

    // The data would show another grouping of the face product, or the terms
    // summed in another order.
    int groupingDiffers = 0, orderDiffers = 0;
    for (std::size_t f = 0; f < c.Nface; ++f) {
        for (std::size_t r0 = 0; r0 < c.Nfp; ++r0) {
            double forward = 0.0, backward = 0.0;
            for (std::size_t m = 0; m < c.Nfp; ++m) {
                const std::size_t g = c.Nfp * f + m, gb = c.Nfp * f + (c.Nfp - 1 - m);
                const double M = c.faceMassMatrix[r0 + c.Nfp * m], w = c.faceJacobian[g];
                const double d = c.fluxLocal[g] - c.numericalFlux[g];
                groupingDiffers += (M * w) * d != M * (w * d);
                forward += (M * w) * d;
                backward += (c.faceMassMatrix[r0 + c.Nfp * (c.Nfp - 1 - m)] * c.faceJacobian[gb]) *
                            (c.fluxLocal[gb] - c.numericalFlux[gb]);
            }
            orderDiffers += forward != backward;
        }
    }
    EXPECT_GT(groupingDiffers, 0);
    EXPECT_GT(orderDiffers, 0);
}

TEST(InnerEdgeStrongRhs, GeneralInverseMassMatrixMatchesWithinRounding) {
    EdgeInputs c = randomCase(10, 30, 4, 45, 2, 5);
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (double& v : c.inverseMassMatrix) {
        v += 0.2 * u(rng);
    }
    CallResult r = run(module(), c, Jump::NumericalFlux);
    const std::vector<double> got = kernel_host::values(r.outputs[0].get());
    const std::vector<double> s = surfaceSums(c, Jump::NumericalFlux);
    const std::vector<double> expected = elementPass(c, s);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        // Bound: the sum of |terms| over |J| times a few units of rounding.
        const std::size_t col = i / c.Np * c.Np, row = i % c.Np;
        double magnitude = 0.0;
        for (std::size_t j = 0; j < c.Np; ++j) {
            magnitude += std::abs(c.inverseMassMatrix[row + c.Np * j] * s[col + j]);
        }
        const double J = c.jacobian[i % (c.Np * c.K)];
        EXPECT_NEAR(got[i], expected[i], 4 * c.Np * 1.2e-16 * magnitude / std::abs(J)) << "at " << i;
    }
}

TEST(InnerEdgeStrongRhs, OneFaceAddsToBothSidesAndLeavesAnUntouchedElementZero) {
    SmallMesh c;
    c.twoDimensionalFlux = true;  // Nfield = 1: Np x K x 1, which the host shows as Np x K
    CallResult r = run(module(), c, Jump::NumericalFlux);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{3, 3}));
    const std::vector<double> vL = faceVector(c, 0, 3 - 1, 1 - 1);   // fluxLocal - numericalFlux
    const std::vector<double> vA = faceVector(c, 0, -1 - 1, 5 - 1);  // fluxAdjacent - numericalFlux
    const std::vector<double> s1 = {vL[0], vL[1], 0};                // local nodes 1, 2
    const std::vector<double> s2 = {-vA[1], 0, -vA[0]};              // adjacent nodes 3, 1, minus
    expectValues(r.outputs[0].get(), concat({elementColumn(c, 0, s1), elementColumn(c, 1, s2), {0, 0, 0}}));
}

TEST(InnerEdgeStrongRhs, FaceWithTheSameElementOnBothSidesAddsBoth) {
    SmallMesh c;
    c.faceToElement = {2, 2.75};
    c.faceToNodeAdjacent = {2, 1};  // node 1 of element 2 gets a share from both sides
    CallResult r = run(module(), c, Jump::NumericalFlux);
    const std::vector<double> vL = faceVector(c, 0, 2, 0);
    const std::vector<double> vA = faceVector(c, 0, -2, 4);
    // Node 1: local r=0, then adjacent r=1; node 2: adjacent r=0, then local r=1.
    const std::vector<double> s = {vL[0] + -vA[1], -vA[0] + vL[1], 0};
    expectValues(r.outputs[0].get(), concat({{0, 0, 0}, elementColumn(c, 1, s), {0, 0, 0}}));
}

TEST(InnerEdgeStrongRhs, TwoFacesAddIntoOneNodeAndFractionalIndicesTruncate) {
    SmallMesh c;
    c.Nface = 2;
    c.faceToElement = {1.9, 3.5, 3.999, 1.0};
    c.faceToNodeLocal = {1, 2.5, 3.2, 2};
    c.faceToNodeAdjacent = {3, 1.1, 2, 2.999};
    c.faceJacobian = {2, 4, 1, 0.5};
    c.fluxLocal = {3, 1, 2, -2};
    c.fluxAdjacent = {-1, 5, 4, 6};
    c.numericalFlux = {1, 1, 0, 2};
    CallResult r = run(module(), c, Jump::NumericalFlux);
    const std::vector<double> aL = faceVector(c, 0, 2, 0), aA = faceVector(c, 0, -2, 4);
    const std::vector<double> bL = faceVector(c, 1, 2, -4), bA = faceVector(c, 1, 4, 4);
    // Element 1: face a local nodes 1, 2; face b adjacent nodes 2, 2 (both into node 2).
    // Element 3: face a adjacent nodes 3, 1; face b local nodes 3, 2.
    const std::vector<double> s1 = {aL[0], aL[1] + -bA[0] + -bA[1], 0};
    const std::vector<double> s3 = {-aA[1], bL[1], -aA[0] + bL[0]};
    expectValues(r.outputs[0].get(), concat({elementColumn(c, 0, s1), {0, 0, 0}, elementColumn(c, 2, s3)}));
}

TEST(InnerEdgeStrongRhs, ZeroJacobianGivesInfOrNaNAtThatNodeOnly) {
    SmallMesh c;
    c.jacobian[0] = 0.0;  // node 1 of element 1: 3/0
    c.jacobian[5] = 0.0;  // node 3 of element 2: -4/0
    c.jacobian[8] = 0.0;  // node 3 of element 3, untouched: 0/0
    CallResult r = run(module(), c, Jump::NumericalFlux);
    const std::vector<double> got = kernel_host::values(r.outputs[0].get());
    SmallMesh finite;
    CallResult f = run(module(), finite, Jump::NumericalFlux);
    const std::vector<double> ok = kernel_host::values(f.outputs[0].get());
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (i == 0 || i == 5 || i == 8) {
            EXPECT_FALSE(std::isfinite(got[i])) << i;
        } else {
            EXPECT_TRUE(sameDouble(got[i], ok[i])) << i;
        }
    }
}

TEST(InnerEdgeStrongRhs, EqualFluxesNoFacesAndEmptyExtentsGiveZeros) {
    EdgeInputs c = randomCase(4, 5, 2, 7, 2, 3);
    c.fluxAdjacent = c.fluxLocal;
    c.numericalFlux = c.fluxLocal;
    CallResult r = run(module(), c, Jump::NumericalFlux);
    expectValues(r.outputs[0].get(), reference(c, Jump::NumericalFlux));  // 0/J: +0 or -0 by the sign of J
    for (double v : kernel_host::values(r.outputs[0].get())) {
        EXPECT_EQ(v, 0.0);
    }

    EdgeInputs none = randomCase(4, 5, 2, 0, 3, 3);
    r = run(module(), none, Jump::NumericalFlux);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{4, 5, 3}));
    expectValues(r.outputs[0].get(), reference(none, Jump::NumericalFlux));

    EdgeInputs noElements = randomCase(4, 1, 2, 0, 2, 3);
    noElements.K = 0;
    noElements.jacobian.clear();
    r = run(module(), noElements, Jump::NumericalFlux);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{4, 0, 2}));
}

TEST(InnerEdgeStrongRhs, LargeFacesUseHostScratchAndStillMatch) {
    const EdgeInputs c = randomCase(40, 12, 36, 15, 2, 21);
    CallResult r = run(module(), c, Jump::NumericalFlux);
    expectValues(r.outputs[0].get(), reference(c, Jump::NumericalFlux));
}

TEST(InnerEdgeStrongRhs, RejectsInputsItWouldReadOutside) {
    auto fails = [](const std::vector<ArrayPtr>& a, const std::string& reason, const std::string& named) {
        expectFailure(module(), a, reason, named);
    };
    SmallMesh c;
    std::vector<ArrayPtr> a = c.arrays(true);

    a[9] = kernel_host::numericArray(mxSINGLE_CLASS, {2, 1});
    fails(a, "notDouble", "numericalFlux");
    a = c.arrays(true);
    a[2] = kernel_host::sparseArray(2, 1, {0, 0}, {}, {});
    fails(a, "notDouble", "faceToElement");

    struct Short {
        std::size_t input;
        std::vector<std::size_t> dims;
        const char* name;
    } shorts[] = {{0, {3, 2}, "inverseMassMatrix"}, {1, {3, 1}, "faceMassMatrix"}, {2, {1, 1}, "faceToElement"},
                  {3, {1, 1}, "faceToNodeLocal"},   {4, {1, 1}, "faceToNodeAdjacent"}, {5, {1, 1}, "faceJacobian"},
                  {8, {1, 1}, "fluxAdjacent"},      {9, {1, 1}, "numericalFlux"}};
    for (const Short& s : shorts) {
        a = c.arrays(true);
        a[s.input] = doubleArray(s.dims, std::vector<double>(6, 1.0));
        fails(a, "tooFewElements", s.name);
    }

    struct BadIndex {
        std::size_t input;
        std::size_t entry;
        double value;
        const char* name;
    } bad[] = {{2, 0, 0.5, "faceToElement"},      {2, 1, 4.0, "faceToElement"},
               {2, 1, std::nan(""), "faceToElement"}, {3, 1, 3.5 + 0.5, "faceToNodeLocal"},
               {4, 0, 0.0, "faceToNodeAdjacent"}, {4, 1, -std::numeric_limits<double>::infinity(), "faceToNodeAdjacent"}};
    for (const BadIndex& b : bad) {
        a = c.arrays(true);
        mxGetPr(a[b.input].get())[b.entry] = b.value;
        fails(a, "indexOutOfRange", b.name);
    }

    // Larger inputs than the extents need are fine: only the leading entries are read.
    a = c.arrays(true);
    a[0] = doubleArray({3, 4}, {2, -1, 0, -1, 2, -1, 0, -1, 2, 99, 99, 99});
    a[9] = doubleArray({2, 3}, {1, 1, 7, 7, 7, 7});
    CallResult r = module().call(1, raw(a));
    ASSERT_TRUE(r.ok) << r.message;
    expectValues(r.outputs[0].get(), kernel_host::values(run(module(), c, Jump::NumericalFlux).outputs[0].get()));
}

TEST(InnerEdgeStrongRhs, WrongCountsPrintTheDiagnostics) {
    SmallMesh c;
    std::vector<ArrayPtr> a = c.arrays(false);  // nine inputs
    kernel_host::takeConsole();
    CallResult r = module().call(1, raw(a));
    EXPECT_EQ(r.identifier, "inner_edge_strong_rhs:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:inner_edge_strong_rhs.cpp:InvalidNumberInput,\n10 inputs required.\n");
}

}  // namespace
